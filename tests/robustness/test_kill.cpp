// The real program killed with SIGKILL at chosen moments: while typing, during a generation
// run, during the picture export, during a save and while a PDF is written. Afterwards the
// settings hold a complete value, no office process is left, and a save's destination is
// untouched or complete. Each moment is proved reached from what the program says or holds open,
// never assumed from a wait.

#include "harness_process.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <sys/types.h>

namespace {

// Office processes whose parent is pid.
QSet<qint64> officeChildren(qint64 pid)
{
    const QList<qint64> children = probe::officeChildrenOf(pid);
    return {children.begin(), children.end()};
}

bool allGone(const QSet<qint64>& pids, int waitMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < waitMs) {
        bool any = false;
        for (qint64 pid : pids) {
            any = any || probe::processAlive(pid);
        }
        if (!any) {
            return true;
        }
        QTest::qWait(50);
    }
    return false;
}

// Waits until the process shows as stopped ("T") in its status.
bool waitUntilStopped(pid_t pid)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 10000) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) {
            return false;
        }
        const QByteArray line = stat.readAll();
        const qsizetype state = line.lastIndexOf(')') + 2;
        if (state >= line.size() || line.at(state) == 'Z') {
            return false;
        }
        if (line.at(state) == 'T' || line.at(state) == 't') {
            return true;
        }
    }
    return false;
}

// How far the process has read path through the descriptor it holds open; -1 when it holds none.
qint64 readPosition(pid_t pid, const QString& path)
{
    const QString fds = QStringLiteral("/proc/%1/fd").arg(pid);
    for (const QString& fd :
         QDir(fds).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        if (QFile::symLinkTarget(fds + QLatin1Char('/') + fd) != path) {
            continue;
        }
        QFile info(QStringLiteral("/proc/%1/fdinfo/%2").arg(pid).arg(fd));
        if (info.open(QIODevice::ReadOnly)) {
            const QByteArray first = info.readLine(); // "pos:\t<offset>"
            return first.mid(first.indexOf(':') + 1).trimmed().toLongLong();
        }
    }
    return -1;
}

} // namespace

class TestKill : public QObject
{
    Q_OBJECT

    QTemporaryDir mConfig;
    QTemporaryDir mTemp;

    // hold: where the harness stops and waits to be killed (see tw_harness).
    void start(QProcess& process, const QStringList& args, const QString& hold = QString())
    {
        harness::start(process, args,
                       {{QStringLiteral("XDG_CONFIG_HOME"), mConfig.path()},
                        {QStringLiteral("TEMP"), mTemp.path()},
                        {QStringLiteral("TICKETWRIGHT_HARNESS_HOLD"), hold}});
        QVERIFY(process.waitForStarted());
    }

    // Only a process that is still ours and running is signalled: a pid of 0 would be the
    // test's own process group. QProcess reaps the child only in this thread, so the pid cannot
    // be reused between the check and the signal.
    static void signalAlive(QProcess& process, int signal)
    {
        const qint64 pid = process.processId();
        QVERIFY2(pid > 0 && process.state() == QProcess::Running,
                 "the program had already ended: the moment to kill it had passed");
        QCOMPARE(::kill(static_cast<pid_t>(pid), signal), 0);
    }

    static void kill(QProcess& process)
    {
        signalAlive(process, SIGKILL);
        QVERIFY(process.waitForFinished(10000));
    }

    QString storedText1() const
    {
        QSettings store(mConfig.filePath(QStringLiteral("Quorvane.conf")), QSettings::IniFormat);
        return store.value(QStringLiteral("Ticketwright/Text1"), QStringLiteral("<missing>"))
            .toString();
    }

    // Runs the harness until it holds at moment, and kills it there; offices: those it had.
    void killWhileHolding(const QStringList& args, const QString& moment, QSet<qint64>& offices)
    {
        QProcess process;
        start(process, args, moment);
        const QString held = launch::waitForLine(process, QStringLiteral("holding"));
        offices = officeChildren(process.processId());
        kill(process);
        QVERIFY2(!held.isEmpty(), "the program never reached the moment");
        QVERIFY2(!offices.isEmpty(), "no office ran at the moment of the kill");
    }

private slots:
    void init() { QDir(mTemp.path()).removeRecursively(), QDir().mkpath(mTemp.path()); }

    void whileTyping_data()
    {
        QTest::addColumn<int>("keystrokes");
        for (int k : {1, 7, 23, 40, 61}) {
            QTest::newRow(qPrintable(QString::number(k))) << k;
        }
    }
    void whileTyping()
    {
        QFETCH(int, keystrokes);
        const QString text = QStringLiteral("Spring Fair 2027");
        QProcess process;
        // It holds after the last keystroke, so it is alive whenever the kill comes.
        start(process, {QStringLiteral("type"), text, QStringLiteral("5")}, QStringLiteral("end"));
        int lines = 0;
        for (; lines <= keystrokes; ++lines) {
            QVERIFY(!launch::waitForLine(process, QStringLiteral("typed")).isEmpty());
        }
        // Stopped where it is, then everything it said up to there is read: it types on while
        // the test reads, so the line asked for is not the last it said.
        signalAlive(process, SIGSTOP);
        QVERIFY(waitUntilStopped(static_cast<pid_t>(process.processId())));
        while (process.waitForReadyRead(200)) {
        }
        for (const QByteArray& line : process.readAllStandardOutput().split('\n')) {
            QVERIFY2(!line.startsWith("holding"), "the typing had ended before the kill");
            lines += line.startsWith("typed") ? 1 : 0;
        }
        kill(process);
        // Each round says "typed" once for the cleared field, then once a keystroke.
        const QString typed = text.left((lines - 1) % (text.size() + 1));
        // The keystroke in flight may or may not have reached the store, but never half.
        const QString stored = storedText1();
        QVERIFY2(stored == typed || stored == text.left(typed.size() + 1) ||
                     (typed == text && stored.isEmpty()),
                 qPrintable(QStringLiteral("typed \"%1\", stored \"%2\"").arg(typed, stored)));
        harness::settingsAreWhole(mConfig.path());
    }

    void duringGeneration()
    {
        QSet<qint64> offices;
        killWhileHolding({QStringLiteral("generate"), QStringLiteral("500")},
                         QStringLiteral("page 20"), offices);
        QVERIFY(allGone(offices, 10000));
        harness::settingsAreWhole(mConfig.path());
    }

    void duringPictureExport()
    {
        QSet<qint64> offices;
        killWhileHolding({QStringLiteral("generate"), QStringLiteral("10")},
                         QStringLiteral("picture"), offices);
        QVERIFY(!QDir(mTemp.path()).entryList({QStringLiteral("zanfel*.doc")}).isEmpty());
        QVERIFY(allGone(offices, 10000));
    }

    void duringSave_data()
    {
        QTest::addColumn<int>("percent");
        for (int p : {0, 50, 95}) {
            QTest::newRow(qPrintable(QStringLiteral("%1% copied").arg(p))) << p;
        }
    }
    void duringSave()
    {
        QFETCH(int, percent);
        QTemporaryDir folder;
        const qint64 size = 200LL << 20;
        const auto [source, target] = harness::saveFiles(folder.path(), size);
        QCOMPARE(QFileInfo(source).size(), size);
        QProcess process;
        start(process, {QStringLiteral("save"), source, target});
        QVERIFY(!launch::waitForLine(process, QStringLiteral("saving")).isEmpty());
        // The program is stopped now and then to see how far it has read the source; it is
        // killed, still stopped, once it has copied enough but still holds the source open.
        const pid_t pid = static_cast<pid_t>(process.processId());
        qint64 at = -1;
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 60000) {
            signalAlive(process, SIGSTOP);
            QVERIFY(waitUntilStopped(pid));
            at = readPosition(pid, source);
            if (at >= size * percent / 100 && at > 0) {
                break;
            }
            signalAlive(process, SIGCONT);
            if (process.waitForFinished(2)) {
                QFAIL("the save ended before the kill: the source is too small for this machine");
            }
        }
        QVERIFY2(at > 0, "the program never read the source");
        kill(process);
        QFile result(target);
        QVERIFY(result.open(QIODevice::ReadOnly));
        QVERIFY2(result.size() == harness::SaveFiles::kOldSize || result.size() == size,
                 qPrintable(QString::number(result.size())));
        // Nothing half-written lies beside it either.
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void duringPdf_data()
    {
        // Where the harness holds the save for the kill: -1 while the office reads, then the
        // first progress at or past the given percent.
        QTest::addColumn<int>("percent");
        QTest::newRow("office reading the document") << -1;
        QTest::newRow("office exporting the pages") << 40;
        QTest::newRow("art laid under the pages") << 99;
    }
    void duringPdf()
    {
        QFETCH(int, percent);
        const QString document =
            harness::generatedDocument(QStringLiteral("1000"), mTemp.path(),
                                       {{QStringLiteral("XDG_CONFIG_HOME"), mConfig.path()}});
        QVERIFY2(QFile::exists(document), qPrintable(document));
        QTemporaryDir folder;
        const QString target = folder.filePath(QStringLiteral("tickets.pdf"));
        const QByteArray old("the tickets saved last week");
        {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(old);
        }
        QSet<qint64> offices;
        killWhileHolding({QStringLiteral("save"), document, target},
                         QStringLiteral("pdf %1").arg(percent), offices);
        QVERIFY(allGone(offices, 10000));
        QFile result(target);
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll(), old);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("tickets.pdf")});
    }
};

QTEST_GUILESS_MAIN(TestKill)
#include "test_kill.moc"
