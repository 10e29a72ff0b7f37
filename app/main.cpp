#include "app_identity.h"
#include "command_options.h"
#include "command_run.h"
#include "form1.h"
#include "generation_run.h"
#include "is_installed.h"
#include "picture_in_advance.h"
#include "program_end.h"
#include "result_claims.h"
#include "seams.h"
#include "ticket_template.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QTimer>

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

// Whenever the main window comes up, the offices of the next run start, and are made ready with
// the template, while the person types; a moment later, so that they do not slow the window's
// own start.
class StartOfficesWhenShown : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            QTimer::singleShot(kDelayMs, this,
                               [] { GenerationRun::startOfficesEarly(ticketTemplateBytes()); });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static constexpr int kDelayMs = 500;
};

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
    // What runs of a killed program left in the temporary folder goes.
    result_claims::sweep();
    StartWordForTheCheck();
    Form1::setOfficeCheck(CheckWordInstalled);
    PictureInAdvance::setEnabled(true);

    Form1 form;
    // Ending at once, by a close or by a signal, leaves no office process and no working file.
    const auto endSignals = program_end::install(form);
    StartOfficesWhenShown startOffices;
    form.installEventFilter(&startOffices);
    form.Form_Load();
    form.showCentred();
    const int status = QApplication::exec();
    GenerationRun::endAllOffices();
    return status;
}
