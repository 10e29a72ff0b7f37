#include "is_installed.h"

#include "app_identity.h"
#include "seams.h"
#include "word_automation.h"

#include <QStringList>

void StartWordForTheCheck()
{
    word::startInstancesEarly(1);
}

void CheckWordInstalled()
{
    // The instance started, which is all this check needs to know; it quits as it goes.
    StartCheckedOffice();
}

CheckedOffice StartCheckedOffice()
{
    std::unique_ptr<word::Application> application;
    try {
        application = word::Application::create();
    } catch (...) {
        // Any failure to start means the same to the user: no usable instance.
    }
    if (application) {
        return CheckedOffice(std::move(application));
    }
    const QString text =
        QStringList{
            QStringLiteral("Error 842001. A normal instance of Word could not be created."),
            QStringLiteral("1. Please make sure Word is installed on this computer."),
            QStringLiteral("2. Please open Word normally and make sure a blank document opens "
                           "immediately without any interrupting window (such as an Word file "
                           "recovery window)."),
            QStringLiteral("3. Please make sure that when you double-click on a DOC or DOCX file "
                           "that Word opens normally without any interrupting messages."),
            QStringLiteral("4. All versions of Word are supported by this software except for the "
                           "rare Word Starter and Student editions."),
        }
            .join(QStringLiteral("\r\n\r\n"));
    Seams::current().messageBox(text, identity::applicationTitle(), MsgStyle::Ok);
    Seams::current().endProgram();
    return {};
}
