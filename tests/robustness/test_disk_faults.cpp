// A run whose temporary folder is read-only, or whose disk fills up: the run reports through its
// trap and ends, leaves nothing half-written, and the same window then runs again on a folder
// with room. A PDF saved onto a full disk leaves the file it was to replace as it was.

#include "harness_process.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool giveTo(const passwd* user, const QString& path)
{
    return ::chown(QFile::encodeName(path).constData(), user->pw_uid, user->pw_gid) == 0;
}

} // namespace

class TestDiskFaults : public QObject
{
    Q_OBJECT

private slots:
    void runGoesOnAndTheNextSucceeds_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("tickets");
        QTest::newRow("read-only temporary folder") << "read-only"
                                                    << "10";
        // About 220 kB of document against 160 kB of room: the template fits, the save fails.
        QTest::newRow("full disk") << "full"
                                   << "200";
        QTest::newRow("file size limit") << "limit"
                                         << "200";
    }
    void runGoesOnAndTheNextSucceeds()
    {
        QFETCH(QString, fault);
        QFETCH(QString, tickets);
        QTemporaryDir base;
        QVERIFY(::chmod(QFile::encodeName(base.path()).constData(), 0755) == 0);
        const QStringList folders = {QStringLiteral("config"), QStringLiteral("home"),
                                     QStringLiteral("tmp"), QStringLiteral("temp"),
                                     QStringLiteral("roomy")};
        for (const QString& name : folders) {
            QVERIFY(QDir(base.path()).mkdir(name));
        }
        const QString temp = base.filePath(QStringLiteral("temp"));
        const QString roomy = base.filePath(QStringLiteral("roomy"));
        QStringList prefix;
        bool mounted = false;
        if (fault == QLatin1String("read-only")) {
            if (::geteuid() == 0) {
                // Permissions do not hold for root: the program runs as an ordinary user.
                const passwd* nobody = ::getpwnam("nobody");
                QVERIFY(nobody);
                for (const QString& name : folders) {
                    QVERIFY(giveTo(nobody, base.filePath(name)));
                }
                QVERIFY(::chown(QFile::encodeName(temp).constData(), 0, 0) == 0);
                prefix = {QStringLiteral("setpriv"), QStringLiteral("--reuid=nobody"),
                          QStringLiteral("--regid=nogroup"), QStringLiteral("--clear-groups")};
            }
            QVERIFY(::chmod(QFile::encodeName(temp).constData(), 0555) == 0);
        } else if (fault == QLatin1String("full")) {
            if (::mount("tmpfs", QFile::encodeName(temp).constData(), "tmpfs", 0,
                        "size=160k,mode=0700") != 0) {
                QSKIP("no small file system can be mounted here");
            }
            mounted = true;
        } else {
            prefix = {QStringLiteral("prlimit"), QStringLiteral("--fsize=160000:unlimited")};
        }
        const auto unmount = qScopeGuard([&] {
            if (mounted) {
                ::umount2(QFile::encodeName(temp).constData(), MNT_DETACH);
            }
        });

        QProcess process;
        harness::start(
            process, {QStringLiteral("generate"), tickets, QStringLiteral("10"), roomy},
            {{QStringLiteral("XDG_CONFIG_HOME"), base.filePath(QStringLiteral("config"))},
             {QStringLiteral("HOME"), base.filePath(QStringLiteral("home"))},
             {QStringLiteral("TMPDIR"), base.filePath(QStringLiteral("tmp"))},
             {QStringLiteral("TEMP"), temp}},
            prefix);
        const qint64 pid = process.processId();
        const QStringList lines = launch::finish(process);
        const QString said = lines.join(QLatin1Char('\n'));
        QVERIFY2(process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0,
                 qPrintable(QStringLiteral("status %1, code %2, after:\n%3")
                                .arg(process.exitStatus())
                                .arg(process.exitCode())
                                .arg(said)));

        // The first run reported, each step once, and ended with the window free again.
        const qsizetype second = lines.lastIndexOf(QStringLiteral("generating"));
        QVERIFY2(second > 0, qPrintable(said));
        const QStringList firstRun = harness::reportedSteps(lines.mid(0, second));
        QVERIFY2(!firstRun.isEmpty(), qPrintable(said));
        QVERIFY2(harness::eachOnce(firstRun), qPrintable(said));
        QVERIFY(lines.contains(QStringLiteral("busy 0")));
        // Nothing half-written is left where the run failed.
        const QStringList left =
            QDir(temp).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char(' '))));

        // The second run, on a folder with room, is complete and reports nothing.
        QVERIFY2(harness::reportedSteps(lines.mid(second)).isEmpty(), qPrintable(said));
        const QString document = launch::withPrefix(lines, QStringLiteral("done ")).value(1);
        QVERIFY2(document.startsWith(roomy), qPrintable(said));
        QCOMPARE(harness::ticketNumbers(document), harness::everyTicketTwice(10));
        QVERIFY(harness::officeFoldersOf(pid, base.filePath(QStringLiteral("tmp"))).isEmpty());
    }

    void pdfOnAFullDisk()
    {
        QTemporaryDir temp;
        QTemporaryDir small;
        const QString document = harness::generatedDocument(QStringLiteral("1000"), temp.path());
        QVERIFY2(QFile::exists(document), qPrintable(document));
        // About 500 kB of PDF against 200 kB of room.
        if (::mount("tmpfs", QFile::encodeName(small.path()).constData(), "tmpfs", 0,
                    "size=200k,mode=0700") != 0) {
            QSKIP("no small file system can be mounted here");
        }
        const auto unmount = qScopeGuard(
            [&] { ::umount2(QFile::encodeName(small.path()).constData(), MNT_DETACH); });
        const QString target = small.filePath(QStringLiteral("tickets.pdf"));
        const QByteArray old("the tickets saved last week");
        {
            QFile f(target);
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(old) == old.size());
        }
        QProcess process;
        harness::start(process, {QStringLiteral("save"), document, target},
                       {{QStringLiteral("TEMP"), temp.path()}});
        const QStringList lines = launch::finish(process);
        const QString said = lines.join(QLatin1Char('\n'));
        // One report, then "Done.", and the old file as it was, alone in its folder.
        const QStringList reports =
            launch::withPrefix(lines, QStringLiteral("MESSAGE Application Error: "));
        QVERIFY2(reports.size() == 1, qPrintable(said));
        QVERIFY2(reports[0].contains(QStringLiteral("No space left on device")), qPrintable(said));
        QVERIFY2(said.contains(QStringLiteral("MESSAGE Ticketwright: Done.")), qPrintable(said));
        QFile result(target);
        QVERIFY(result.open(QIODevice::ReadOnly));
        QCOMPARE(result.readAll(), old);
        QCOMPARE(QDir(small.path()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("tickets.pdf")});
    }
};

QTEST_GUILESS_MAIN(TestDiskFaults)
#include "test_disk_faults.moc"
