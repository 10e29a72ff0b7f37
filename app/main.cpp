#include "app_identity.h"
#include "command_options.h"
#include "command_run.h"
#include "form1.h"
#include "is_installed.h"
#include "offices_ahead.h"
#include "picture_in_advance.h"
#include "program_end.h"
#include "run_offices.h"
#include "seams.h"
#include "ticket_template.h"

#include <QApplication>
#include <QIcon>

#include <csignal>

namespace {

QIcon applicationIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        icon.addFile(QStringLiteral(":/icons/ticketwright-%1.png").arg(size), QSize(size, size));
    }
    return icon;
}

} // namespace

int main(int argc, char** argv)
{
    // A file that reaches the size limit must give a failed write, reported, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    // With options it is a command: no window, so no display is needed.
    if (command_line::isCommand(argc, argv)) {
        const QCoreApplication command(argc, argv);
        QCoreApplication::setApplicationName(identity::kProductName);
        return command_line::main(QCoreApplication::arguments().mid(1));
    }
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(identity::kProductName);
    QGuiApplication::setDesktopFileName(QStringLiteral("ticketwright"));
    QApplication::setWindowIcon(applicationIcon());
    Seams::installProduct();
    StartWordForTheCheck();
    Form1::setOfficeCheck(CheckWordInstalled);
    PictureInAdvance::setEnabled(true);

    Form1 form;
    // Ending at once, by a close or by a signal, leaves no office process and no working file;
    // what runs of a killed program left in the temporary folder goes.
    const auto session = program_end::install(form);
    session->sweep();
    const OfficesAhead offices(
        form, [](int count) { RunOffices::startEarly(ticketTemplateBytes(), count); });
    form.Form_Load();
    form.showCentred();
    const int status = QApplication::exec();
    session->cleanUp();
    return status;
}
