// The real program asked to end by SIGTERM, SIGINT or SIGHUP: in the middle of a long run, while
// typing, and during a save. It ends within seconds with status 128 + the signal, as closing its
// window ends it: no office left, no working file in TEMP, no private folder, the settings whole,
// and a save's destination untouched or complete.

#include "cups_server.h"
#include "harness_process.h"
#include "result_claims.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <unistd.h>

class TestEndSignals : public QObject
{
    Q_OBJECT

    QTemporaryDir mConfig;
    QTemporaryDir mTemp;
    QTemporaryDir mPrivate; // the program's own temporary folder, for the offices' folders

    void start(QProcess& process, const QStringList& args, launch::Environment env = {})
    {
        env.append({{QStringLiteral("XDG_CONFIG_HOME"), mConfig.path()},
                    {QStringLiteral("TEMP"), mTemp.path()},
                    {QStringLiteral("TMPDIR"), mPrivate.path()}});
        harness::start(process, args, env);
        QVERIFY(process.waitForStarted());
    }

    // Signals the program, which must still run, and sees it end by itself in time.
    static void endWith(QProcess& process, int signal)
    {
        QCOMPARE(process.state(), QProcess::Running);
        const auto pid = static_cast<pid_t>(process.processId());
        QVERIFY(pid > 0);
        ::kill(pid, signal);
        QElapsedTimer timer;
        timer.start();
        QVERIFY2(process.waitForFinished(5000), "the program did not end within 5 seconds");
        qInfo("ended %lld ms after the signal", timer.elapsed());
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 128 + signal);
    }

    // What closing the window leaves: TEMP empty, no private folder or socket of its offices.
    void nothingLeftBehind(qint64 pid) const
    {
        const auto entries = [](const QString& path) {
            return QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        };
        QVERIFY2(entries(mTemp.path()).isEmpty(), qPrintable(entries(mTemp.path()).join(' ')));
        const QStringList folders = harness::officeFoldersOf(pid, mPrivate.path());
        // What a folder left behind holds tells who wrote it last.
        QStringList left = folders;
        for (const QString& folder : folders) {
            for (QDirIterator it(mPrivate.path() + QLatin1Char('/') + folder,
                                 QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                 QDirIterator::Subdirectories);
                 it.hasNext();) {
                left << it.next();
            }
        }
        QVERIFY2(folders.isEmpty(), qPrintable(left.join(' ')));
        const QStringList sockets =
            QDir(QStringLiteral("/tmp"))
                .entryList(
                    {QStringLiteral("OSL_PIPE_%1_ticketwright-%2-*").arg(::getuid()).arg(pid)},
                    QDir::System | QDir::Files | QDir::Hidden);
        QVERIFY2(sockets.isEmpty(), qPrintable(sockets.join(' ')));
    }

    static void addSignals()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGINT") << int(SIGINT);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }

private slots:
    void init()
    {
        for (const QTemporaryDir* folder : {&mConfig, &mTemp, &mPrivate}) {
            QDir(folder->path()).removeRecursively();
            QDir().mkpath(folder->path());
        }
    }

    void duringALongRun_data() { addSignals(); }
    void duringALongRun()
    {
        QFETCH(int, signal);
        QProcess process;
        start(process, {QStringLiteral("generate"), QStringLiteral("2000")});
        QVERIFY(!launch::waitForLine(process, QStringLiteral("generating")).isEmpty());
        // The page loop is under way once the first page has been saved apart.
        QTRY_VERIFY_WITH_TIMEOUT(
            !QDir(mTemp.path()).entryList({QStringLiteral("first-page-*")}, QDir::Dirs).isEmpty(),
            120000);
        const QList<qint64> offices = probe::officeChildrenOf(process.processId());
        QVERIFY(!offices.isEmpty());
        const qint64 pid = process.processId();
        endWith(process, signal);
        if (QTest::currentTestFailed()) {
            return;
        }
        for (const qint64 office : offices) {
            QTRY_VERIFY(!probe::processAlive(office));
        }
        nothingLeftBehind(pid);
        harness::settingsAreWhole(mConfig.path());
    }

    // Offices that stop answering (stopped, as a hung office looks), or a main thread held in the
    // picture's step, leave the event loop no turn: the signal still ends the program, its
    // offices and its files within 2 s.
    void whileStuck_data()
    {
        QTest::addColumn<QString>("hold");
        QTest::newRow("offices stopped") << QString();
        QTest::newRow("held in the picture") << QStringLiteral("picture");
    }
    void whileStuck()
    {
        QFETCH(QString, hold);
        QProcess process;
        start(process, {QStringLiteral("generate"), QStringLiteral("2000")},
              {{QStringLiteral("TICKETWRIGHT_HARNESS_HOLD"), hold}});
        QVERIFY(!launch::waitForLine(process, QStringLiteral("generating")).isEmpty());
        if (hold.isEmpty()) {
            QTRY_VERIFY_WITH_TIMEOUT(!QDir(mTemp.path())
                                          .entryList({QStringLiteral("first-page-*")}, QDir::Dirs)
                                          .isEmpty(),
                                     120000);
        } else {
            QVERIFY(!launch::waitForLine(process, QStringLiteral("holding"), 120000).isEmpty());
        }
        const QList<qint64> offices = probe::officeChildrenOf(process.processId());
        for (const qint64 office : offices) {
            if (hold.isEmpty() && probe::processAlive(office)) {
                ::kill(static_cast<pid_t>(office), SIGSTOP);
            }
        }
        const qint64 pid = process.processId();
        QElapsedTimer timer;
        timer.start();
        endWith(process, SIGTERM);
        if (QTest::currentTestFailed()) {
            return;
        }
        QVERIFY2(timer.elapsed() < 2000, "the program took 2 seconds or more to end");
        for (const qint64 office : offices) {
            QTRY_VERIFY(!probe::processAlive(office));
        }
        nothingLeftBehind(pid);
    }

    // Closing the window in the middle of the pages ends the program as a signal does, with
    // status 0.
    void closingTheWindowDuringARun()
    {
        QProcess process;
        start(process, {QStringLiteral("generate"), QStringLiteral("2000")},
              {{QStringLiteral("TICKETWRIGHT_HARNESS_HOLD"), QStringLiteral("close 10")}});
        QVERIFY(!launch::waitForLine(process, QStringLiteral("closing")).isEmpty());
        const qint64 pid = process.processId();
        QElapsedTimer timer;
        timer.start();
        QVERIFY2(process.waitForFinished(5000), "the program did not end within 5 seconds");
        qInfo("ended %lld ms after the close", timer.elapsed());
        QVERIFY2(timer.elapsed() < 2000, "the program took 2 seconds or more to end");
        QCOMPARE(process.exitStatus(), QProcess::NormalExit);
        QCOMPARE(process.exitCode(), 0);
        nothingLeftBehind(pid);
    }

    // A print ended while its pages are made. By a signal: the job never completes, nothing is
    // left. Killed, it can clean nothing: its print PDF stays, claimed, and the next start's sweep
    // removes it.
    void duringAPrint_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGKILL") << int(SIGKILL);
    }
    void duringAPrint()
    {
        QFETCH(int, signal);
        CupsServer cups;
        if (!cups.why().isEmpty()) {
            QSKIP(qPrintable(cups.why()));
        }
        const QString printer = QStringLiteral("EndedPDF");
        QCOMPARE(cups.addPdfPrinter(printer, true), QString());
        const QString cache = mPrivate.filePath(QStringLiteral("cache"));
        QProcess process;
        start(process, {QStringLiteral("print"), QStringLiteral("2000"), printer},
              {{QStringLiteral("XDG_CACHE_HOME"), cache}});
        QVERIFY(!launch::waitForLine(process, QStringLiteral("printing"), 120000).isEmpty());
        const auto printPdfs = [&] {
            return QDir(mTemp.path()).entryList({QStringLiteral("print-*.pdf")}, QDir::Files);
        };
        QTRY_VERIFY_WITH_TIMEOUT(!printPdfs().isEmpty(), 60000);
        const qint64 pid = process.processId();
        if (signal == SIGKILL) {
            QCOMPARE(process.state(), QProcess::Running);
            QVERIFY(pid > 0);
            ::kill(static_cast<pid_t>(pid), SIGKILL);
            QVERIFY(process.waitForFinished(5000));
            QCOMPARE(printPdfs().size(), 1);
            result_claims::sweep(cache + QStringLiteral("/ticketwright-results"));
            QCOMPARE(printPdfs(), QStringList());
            return;
        }
        endWith(process, signal);
        if (QTest::currentTestFailed()) {
            return;
        }
        const int job = cups.lastJob(printer);
        const QString state = job > 0 ? cups.waitForEnd(job) : QStringLiteral("none");
        qInfo("the print job: %s", qPrintable(state));
        QVERIFY(state != QLatin1String("completed"));
        nothingLeftBehind(pid);
    }

    void whileTyping_data() { addSignals(); }
    void whileTyping()
    {
        QFETCH(int, signal);
        const QString text = QStringLiteral("Spring Fair 2027");
        QProcess process;
        start(process, {QStringLiteral("type"), text, QStringLiteral("1000")});
        QString last;
        for (int i = 0; i < 20; ++i) {
            last = launch::waitForLine(process, QStringLiteral("typed"));
        }
        QVERIFY(!last.isEmpty());
        const qint64 pid = process.processId();
        endWith(process, signal);
        if (QTest::currentTestFailed()) {
            return;
        }
        // The program takes the signal between keystrokes, so the store holds one that was typed.
        QSettings store(mConfig.filePath(QStringLiteral("Quorvane.conf")), QSettings::IniFormat);
        QVERIFY(text.startsWith(store.value(QStringLiteral("Ticketwright/Text1")).toString()));
        nothingLeftBehind(pid);
        harness::settingsAreWhole(mConfig.path());
    }

    void duringASave()
    {
        QTemporaryDir folder;
        const auto [source, target] = harness::saveFiles(folder.path(), 200LL << 20);
        QProcess process;
        start(process, {QStringLiteral("save"), source, target});
        QVERIFY(!launch::waitForLine(process, QStringLiteral("saving")).isEmpty());
        endWith(process, SIGTERM);
        if (QTest::currentTestFailed()) {
            return;
        }
        // The save was under way when the signal came; it is finished, never cut off.
        QCOMPARE(QFileInfo(target).size(), 200LL << 20);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestEndSignals)
#include "test_end_signals.moc"
