// Runs one piece of the real program (real settings, real office, real files) and says on
// standard output how far it got, so that a test can kill it at a chosen moment.
//
//     tw_harness type <text> <rounds>    types text into the first field, over and over
//     tw_harness generate <count> [<count> <temp folder>]
//                                         one generation run with the stored wording; with the
//                                         second pair, "< Back" and a second run in the same
//                                         window, with TEMP set to that folder and the file size
//                                         limit lifted (the disk has room again)
//     tw_harness save <source> <target>   "Save Results To Word File" to target; a target ending
//                                         in ".pdf" is written as a PDF by the office, and each
//                                         new percent of its progress is said ("pdf <percent>")
//     tw_harness print <count> <printer>  one run, then "Print..." in the preview to that printer;
//                                         "printing" is said once the print starts
//
// TICKETWRIGHT_HARNESS_HOLD stops the program at a moment a test wants to kill it in, says
// "holding", and waits there until it is killed, so the test knows it is alive and where it is:
//     page <percent>   in the page loop, once the progress bar reaches that percent
//     picture          in the picture export, its office running, as it closes the page
//     end              after typing, instead of ending
//     pdf <percent>    in a PDF save, at its first progress at or past that percent (-1: while
//                      the office reads the document), its office still running

#include "form1.h"
#include "form2.h"
#include "picture_in_advance.h"
#include "program_end.h"
#include "run_offices.h"
#include "save_doc_as_pdf.h"
#include "save_result.h"
#include "seams.h"
#include "word_automation.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>

namespace {

void say(const QString& line)
{
    std::fputs(qPrintable(line + QLatin1Char('\n')), stdout);
    std::fflush(stdout);
}

const QString kHold = qEnvironmentVariable("TICKETWRIGHT_HARNESS_HOLD");

void holdIf(const QString& moment)
{
    if (kHold != moment) {
        return;
    }
    say(QStringLiteral("holding ") + moment);
    for (;;) {
        ::pause();
    }
}

// The picture's office, which may draw while the pages are added, held once the picture
// export asks for the page to close it.
class HoldAtClose : public word::Application
{
public:
    explicit HoldAtClose(std::unique_ptr<word::Application> inner) : mInner(std::move(inner)) {}
    void quit() override { mInner->quit(); }
    void setDisplayAlerts(bool on) override { mInner->setDisplayAlerts(on); }
    void setProgress(word::ProgressHandler handler) override
    {
        mInner->setProgress(std::move(handler));
    }
    word::Documents& documents() override { return mInner->documents(); }
    word::Selection& selection() override { return mInner->selection(); }
    std::shared_ptr<word::Document> activeDocument() override
    {
        holdIf(QStringLiteral("picture"));
        return mInner->activeDocument();
    }

private:
    std::unique_ptr<word::Application> mInner;
};

void installHolds(Form1& form)
{
    const QString page = QStringLiteral("page ");
    if (kHold.startsWith(page)) {
        const int percent = kHold.mid(page.size()).toInt();
        QObject::connect(form.ProgressBar1, &QProgressBar::valueChanged, [percent, page](int v) {
            if (v >= percent) {
                holdIf(page + QString::number(percent));
            }
        });
    }
    // "close N": the window is closed, as its close button does, once the run passes N %.
    const QString close = QStringLiteral("close ");
    if (kHold.startsWith(close)) {
        const int percent = kHold.mid(close.size()).toInt();
        QObject::connect(form.ProgressBar1, &QProgressBar::valueChanged, [&form, percent](int v) {
            static bool asked = false;
            if (v >= percent && !std::exchange(asked, true)) {
                say(QStringLiteral("closing"));
                QTimer::singleShot(0, &form, [&form] { form.close(); });
            }
        });
    }
    if (kHold == QLatin1String("picture")) {
        // The run's own office is the first the program creates; the picture's is the second.
        // create() calls a copy of the factory: the count lives outside it.
        static int created = 0;
        word::setApplicationFactory(
            []() -> std::unique_ptr<word::Application> {
                auto app = word::defaultApplicationFactory()();
                if (++created == 2) {
                    return std::make_unique<HoldAtClose>(std::move(app));
                }
                return app;
            },
            true);
    }
}

void installAnsweringSeams(const QString& savePath, const QString& printer)
{
    Seams::installProduct();
    Seams& s = Seams::current();
    s.messageBox = [](const QString& text, const QString& title, MsgStyle) {
        say(QStringLiteral("MESSAGE %1: %2")
                .arg(title, QString(text).replace('\r', ' ').replace('\n', ' ')));
        return MsgAnswer::Yes;
    };
    s.saveFileName = [savePath](QWidget*, const QString&, const QString&, QString*) {
        return savePath;
    };
    s.openUrl = [](const QUrl&) { return true; };
    s.printDialog = [printer](QWidget*, int, Paper, PrintRequest& request) {
        request.printer = printer;
        say(QStringLiteral("printing"));
        return true;
    };
    s.endProgram = [] {
        RunOffices::endAll();
        std::_Exit(0);
    };
}

} // namespace

int main(int argc, char** argv)
{
    // A file size limit then stands for a full disk: writes fail instead of ending the process.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.size() < 2) {
        std::fputs("usage: tw_harness type|generate|save ...\n", stderr);
        return 2;
    }
    const QString mode = args[0];
    installAnsweringSeams(mode == QLatin1String("save") ? args.value(2) : QString(),
                          mode == QLatin1String("print") ? args.value(2) : QString());
    PictureInAdvance::setEnabled(true);

    if (mode == QLatin1String("save")) {
        Form1 form;
        const auto endSignals = program_end::install(form);
        say(QStringLiteral("saving"));
        int said = -2;
        SaveResultDocument(
            nullptr, args[1], [&](const QString& wordFile, const QString& pdfPath, const auto&) {
                SaveDocAsPDF(wordFile, pdfPath, QStringLiteral("Harness"), [&](int percent) {
                    if (percent != said) {
                        said = percent;
                        say(QStringLiteral("pdf %1").arg(percent));
                    }
                    const QString pdf = QStringLiteral("pdf ");
                    if (kHold.startsWith(pdf)) {
                        const int moment = kHold.mid(pdf.size()).toInt();
                        if (moment < 0 ? percent < 0 : percent >= moment) {
                            holdIf(kHold);
                        }
                    }
                });
            });
        say(QStringLiteral("done"));
        // A signal that came during the save is taken now, as the event loop would take it.
        QCoreApplication::processEvents();
        return 0;
    }

    Form1 form;
    // Signals end it as they end the program.
    const auto endSignals = program_end::install(form);
    form.Form_Load();
    form.show();
    installHolds(form);
    if (mode == QLatin1String("type")) {
        const QString text = args[1];
        const int rounds = args.value(2, QStringLiteral("1")).toInt();
        QLineEdit* field = form.Text(1);
        // Typing goes through the event loop, so the window's activation arrives before it.
        if (!QTest::qWaitForWindowActive(&form)) {
            return 1;
        }
        field->setFocus();
        for (int round = 0; round < rounds; ++round) {
            field->selectAll();
            QTest::keyClick(field, Qt::Key_Delete);
            say(QStringLiteral("typed "));
            for (int i = 0; i < text.size(); ++i) {
                QTest::keyClick(field, text[i].toLatin1());
                QCoreApplication::processEvents();
                say(QStringLiteral("typed ") + text.left(i + 1));
            }
        }
        holdIf(QStringLiteral("end"));
        return 0;
    }
    if (mode == QLatin1String("print")) {
        form.Text(8)->setText(args[1]);
        form.PushButton6_Click();
        if (form.preview() == nullptr) {
            return 1;
        }
        form.preview()->PushButton9->click();
        say(QStringLiteral("printed"));
        RunOffices::endAll();
        return 0;
    }
    if (mode == QLatin1String("generate")) {
        form.Text(8)->setText(args[1]);
        say(QStringLiteral("generating"));
        form.PushButton6_Click();
        say(QStringLiteral("done ") + (form.preview() ? form.preview()->mWordFile : QString()));
        if (args.size() >= 4) {
            rlimit limit = {};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = limit.rlim_max;
            setrlimit(RLIMIT_FSIZE, &limit);
            // Offices started under the limit keep it for life: the disk having room again means
            // offices without it, so those waiting for a run (started while the first one ran)
            // end here, and the second run starts its own.
            word::terminateAllInstances();
            qputenv("TEMP", QFile::encodeName(args[3]));
            if (form.preview()) {
                form.preview()->PushButton8->click();
            }
            say(QStringLiteral("busy %1").arg(form.mBusy ? 1 : 0));
            form.Text(8)->setText(args[2]);
            say(QStringLiteral("generating"));
            form.PushButton6_Click();
            say(QStringLiteral("done ") + (form.preview() ? form.preview()->mWordFile : QString()));
        }
        RunOffices::endAll();
        return 0;
    }
    return 2;
}
