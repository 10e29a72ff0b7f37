#pragma once

#include "book_row.h"
#include "form1.h"
#include "form2.h"
#include "generation_run.h"
#include "picture_in_advance.h"
#include "picture_row.h"
#include "scripted_seams.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <memory>

// A run as a person starts it: a fresh main window, loaded, the eight fields typed, the book
// chosen, the start button pressed. Returns the document the preview was handed, or an empty path.
inline QString runFromMainWindow(std::unique_ptr<Form1>& form, const QStringList& fields,
                                 const BookChoices& book = {})
{
    form = std::make_unique<Form1>();
    form->Form_Load();
    for (int n = 1; n <= 8; ++n) {
        form->Text(n)->setText(fields.value(n - 1));
    }
    form->bookRow()->FirstNumber->setText(book.firstNumber);
    form->bookRow()->Order->setCurrentIndex(int(book.order));
    form->bookRow()->Paper->setCurrentIndex(int(book.paper));
    if (!book.picture.isEmpty()) {
        // Chosen as a person chooses it, through the open dialog.
        Seams& seams = Seams::current();
        const auto dialog = seams.openFileName;
        seams.openFileName = [&](QWidget*, const QString&, const QString&) { return book.picture; };
        form->pictureRow()->ChoosePicture->click();
        seams.openFileName = dialog;
    } else {
        form->pictureRow()->NoPicture->click(); // the store keeps the last case's choice
    }
    form->PushButton6_Click();
    return form->preview() ? form->preview()->mWordFile : QString();
}

// What the tests of real runs from the main window share: a settings store of their own, a fresh
// temporary folder and scripted message boxes for each case, the compiled-in template.
class RealRuns
{
protected:
    // From initTestCase.
    void useOwnSettingsAndTemplate()
    {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, mHome.path());
        // The real office takes its picture while the pages are added, as in the program.
        PictureInAdvance::setEnabled(true);
    }
    // From init.
    void freshCase()
    {
        mTemp = std::make_unique<QTemporaryDir>();
        qputenv("TEMP", mTemp->path().toUtf8());
        mSeams = std::make_unique<ScriptedSeams>();
    }
    // From cleanup.
    void endCase()
    {
        mForm.reset();
        mSeams.reset();
        mTemp.reset();
    }

    QTemporaryDir mHome;
    std::unique_ptr<QTemporaryDir> mTemp;
    std::unique_ptr<ScriptedSeams> mSeams;
    std::unique_ptr<Form1> mForm;
};
