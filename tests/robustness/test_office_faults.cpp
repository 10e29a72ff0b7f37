// The office fails in the middle of a real run: it is killed, or it stops answering. Each later
// office step reports once, the run ends, and the same window runs again on a fresh office.

#include "form1.h"
#include "form2.h"
#include "main_window_run.h"
#include "office_probe.h"
#include "reports.h"
#include "run_offices.h"
#include "scripted_seams.h"
#include "ticket_template.h"

#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <memory>
#include <unistd.h>

class TestOfficeFaults : public QObject, private RealRuns
{
    Q_OBJECT

    void setFields(const QString& count)
    {
        const QStringList fields = {"Harvest Fair", "Drawn at nine", "A bike", "A kite",
                                    "A book",       "Be there",      "",       count};
        for (int n = 1; n <= 8; ++n) {
            mForm->Text(n)->setText(fields.value(n - 1));
        }
    }

    // One click of the start button; once the page loop is under way, the office is handed to
    // fault, from inside the run's own event processing.
    void runWithFault(const QString& count, int signal)
    {
        setFields(count);
        bool struck = false;
        QTimer timer;
        timer.setInterval(10);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (struck || mForm->ProgressBar1->value() == 0) {
                return;
            }
            // The run's own office started first; the picture's waits beside it.
            const QList<qint64> offices = probe::officeChildrenOf(getpid());
            if (!offices.isEmpty()) {
                ::kill(static_cast<pid_t>(*std::min_element(offices.begin(), offices.end())),
                       signal);
                struck = true;
            }
        });
        timer.start();
        mForm->PushButton6_Click();
        timer.stop();
        QVERIFY2(struck, "the run ended before the office could be struck");
    }

    QStringList reportedSteps() const { return reports::steps(mSeams->messageTexts()); }

    // The run ended, told the user a bounded number of times, and left nothing running.
    void runEndedAndReportedOnce(const QString& firstReport)
    {
        QVERIFY(!mForm->mBusy);
        const QStringList steps = reportedSteps();
        QVERIFY(!steps.isEmpty());
        QVERIFY2(mSeams->messages.first().text.contains(firstReport),
                 qPrintable(mSeams->messages.first().text));
        QCOMPARE(QSet<QString>(steps.begin(), steps.end()).size(), steps.size());
        // The page loop ran on for many pages; each of its failing steps still spoke once.
        QVERIFY2(steps.size() <= 20, qPrintable(steps.join(QLatin1Char(' '))));
        QVERIFY(steps.first().startsWith(QStringLiteral("Tombolix2021/08/31.Form1.PushButton6_")));
        QTRY_VERIFY(probe::officeChildrenOf(getpid()).isEmpty());
        // Nothing half-made is left for anyone to pick up.
        const QStringList left =
            QDir(mTemp->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));
    }

    // Back to the main window, and a run that works from start to end on a new office.
    void nextRunSucceeds()
    {
        qunsetenv("TICKETWRIGHT_OFFICE_TIMEOUT");
        QVERIFY(mForm->preview());
        mForm->preview()->PushButton8->click();
        QVERIFY(mForm->isVisible());
        mSeams->messages.clear();
        setFields(QStringLiteral("10"));
        mForm->PushButton6_Click();
        QVERIFY2(mSeams->messages.isEmpty(), qPrintable(reportedSteps().join(QLatin1Char(' '))));
        QVERIFY(!mForm->mBusy);
        const QString path = mForm->preview()->mWordFile;
        const QString text = probe::docText(QStringLiteral("antiword"), path);
        QCOMPARE(probe::occurrences(text, QStringLiteral("0010")), 2);
        QCOMPARE(probe::occurrences(text, QStringLiteral("Harvest Fair")), 20);
        QTRY_VERIFY(probe::officeChildrenOf(getpid()).isEmpty());
    }

private slots:
    void initTestCase() { useOwnSettingsAndTemplate(); }
    void init()
    {
        freshCase();
        mForm = std::make_unique<Form1>();
        mForm->Form_Load();
        mForm->show();
    }
    void cleanup()
    {
        qunsetenv("TICKETWRIGHT_OFFICE_TIMEOUT");
        qunsetenv("TICKETWRIGHT_OFFICE");
        endCase();
    }

    void officeKilledDuringThePageLoop()
    {
        runWithFault(QStringLiteral("300"), SIGKILL);
        runEndedAndReportedOnce(QStringLiteral("ended unexpectedly"));
        nextRunSucceeds();
    }

    // An office started ahead of need asks to be restarted, as a fresh profile makes it, and
    // the restart cannot run the program: the office is dropped with its folder, nothing escapes
    // into the event loop, and once the program runs again a run starts an office of its own.
    void earlyOfficeThatCannotRestart()
    {
        QTemporaryDir bin;
        const QString office = bin.filePath(QStringLiteral("office"));
        QFile script(office);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n[ -e \"$0.ok\" ] && exec " +
                     QFile::encodeName(probe::officeProgramFolder()) +
                     "/soffice.bin \"$@\"\n"
                     "touch \"$0.asked\"; chmod a-x \"$0\"; exit 81\n");
        script.close();
        const auto runnable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner;
        QVERIFY(script.setPermissions(runnable));
        qputenv("TICKETWRIGHT_OFFICE", QFile::encodeName(office));
        const auto officeFolders = [] {
            return QDir(QDir::tempPath())
                .entryList({QStringLiteral("ticketwright-office-%1-*").arg(getpid())}, QDir::Dirs);
        };
        RunOffices::startEarly();
        QVERIFY(!officeFolders().isEmpty());
        QTRY_VERIFY(QFile::exists(office + QStringLiteral(".asked")));
        QTRY_VERIFY(officeFolders().isEmpty());

        QVERIFY(QFile(office + QStringLiteral(".ok")).open(QIODevice::WriteOnly));
        QVERIFY(script.setPermissions(runnable));
        setFields(QStringLiteral("10"));
        mForm->PushButton6_Click();
        qunsetenv("TICKETWRIGHT_OFFICE");
        QVERIFY2(mSeams->messages.isEmpty(), qPrintable(reportedSteps().join(QLatin1Char(' '))));
        const QString text =
            probe::docText(QStringLiteral("antiword"), mForm->preview()->mWordFile);
        QCOMPARE(probe::occurrences(text, QStringLiteral("0010")), 2);
        QTRY_VERIFY(probe::officeChildrenOf(getpid()).isEmpty());
    }

    void officeThatStopsAnsweringIsGivenUp()
    {
        // Short enough for a test, long enough for every call of a sound office on a busy machine.
        qputenv("TICKETWRIGHT_OFFICE_TIMEOUT", "8");
        runWithFault(QStringLiteral("300"), SIGSTOP);
        runEndedAndReportedOnce(
            QStringLiteral("The office did not answer within 8 seconds and was stopped."));
        nextRunSucceeds();
    }
};

QTEST_MAIN(TestOfficeFaults)
#include "test_office_faults.moc"
