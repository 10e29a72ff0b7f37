#include "seams.h"

#include "error_trap.h"
#include "file_helpers.h"
#include "print_choices.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QMessageBox>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <unistd.h>

namespace {

MsgAnswer showMessageBox(const QString& text, const QString& title, MsgStyle style)
{
    QMessageBox box;
    box.setWindowTitle(title);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    switch (style) {
    case MsgStyle::Ok:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgStyle::OkExclamation:
        box.setIcon(QMessageBox::Warning);
        box.setStandardButtons(QMessageBox::Ok);
        break;
    case MsgStyle::YesNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        break;
    }
    const int answer = box.exec();
    if (style != MsgStyle::YesNo) {
        return MsgAnswer::Ok;
    }
    return answer == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
}

QString askSaveFileName(QWidget* parent, const QString& title, const QString& filter,
                        QString* selectedFilter)
{
    // The program asks its own overwrite question, so the dialog must not ask one too.
    return QFileDialog::getSaveFileName(parent, title, QString(), filter, selectedFilter,
                                        QFileDialog::DontConfirmOverwrite);
}

// The desktop's print dialog, set to the document's own paper and pages, and to the last print's
// printer and choices. Printing to a file is left to "Save Results To Word File", which writes
// PDFs; the paper and its orientation are the document's own, so the dialog does not offer them.
bool askPrint(QWidget* parent, int pages, Paper paper, PrintRequest& request)
{
    static PrintRequest last;
    QPrinter printer;
    PrintChoices::apply(last, printer);
    printer.setPageSize(QPageSize(paper == Paper::A4 ? QPageSize::A4 : QPageSize::Letter));
    printer.setFromTo(1, std::max(pages, 1));
    printer.setPrintRange(QPrinter::AllPages);
    QPrintDialog dialog(&printer, parent);
    dialog.setMinMax(1, std::max(pages, 1));
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintShowPageSize, false);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    request = PrintChoices::read(printer);
    last = request;
    last.pages.clear();
    return true;
}

std::mt19937& generator()
{
    static std::mt19937 engine;
    return engine;
}

} // namespace

Seams& Seams::current()
{
    static Seams seams;
    return seams;
}

void Seams::routeErrorReports()
{
    setErrorReporter([](const QString& text) {
        current().messageBox(text, QStringLiteral("Application Error"), MsgStyle::OkExclamation);
    });
}

void Seams::installProduct()
{
    routeErrorReports();
    Seams& s = current();
    s.messageBox = showMessageBox;
    s.saveFileName = askSaveFileName;
    s.openFileName = [](QWidget* parent, const QString& title, const QString& filter) {
        return QFileDialog::getOpenFileName(parent, title, QString(), filter);
    };
    s.printDialog = askPrint;
    s.openUrl = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
    // Two copies started in the same second must not draw the same document names.
    s.seedRandom = [](quint32 seed) {
        std::seed_seq sequence{seed, static_cast<quint32>(::getpid())};
        generator().seed(sequence);
    };
    s.random = [] { return std::uniform_real_distribution<double>(0.0, 1.0)(generator()); };
    s.programFolder = [] { return QCoreApplication::applicationDirPath(); };
    setPendingEventsHook([] { QCoreApplication::processEvents(); });
    // main() wraps this so that office instances end first.
    s.endProgram = [] {
        std::fflush(nullptr);
        std::_Exit(0);
    };
}
