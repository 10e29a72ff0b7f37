// The folder for the program's working files, and writing into it when others may have planted
// links there.

#include "app_error.h"
#include "file_helpers.h"
#include "result_claims.h"
#include "temp_folder.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct stat lstatOf(const QString& path)
{
    struct stat info = {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

bool chownToNobody(const QString& path)
{
    const passwd* nobody = ::getpwnam("nobody");
    return nobody &&
           ::lchown(QFile::encodeName(path).constData(), nobody->pw_uid, nobody->pw_gid) == 0;
}

QStringList entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

} // namespace

class TestTempFolder : public QObject
{
    Q_OBJECT

    QTemporaryDir mRuntime;

private slots:
    void init()
    {
        qunsetenv("TEMP");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(mRuntime.path()));
        QDir(mRuntime.filePath(QStringLiteral("ticketwright"))).removeRecursively();
        QFile::remove(mRuntime.filePath(QStringLiteral("ticketwright")));
    }

    void privateFolderIsMadeForTheUserAlone()
    {
        const QString folder = temp_folder::path();
        QCOMPARE(folder, mRuntime.filePath(QStringLiteral("ticketwright")));
        const struct stat info = lstatOf(folder);
        QVERIFY(S_ISDIR(info.st_mode));
        QCOMPARE(info.st_mode & 0777, 0700u);
        QCOMPARE(info.st_uid, ::geteuid());
        // The next call finds it and takes it as it is.
        QCOMPARE(temp_folder::file(QStringLiteral("template.dot")),
                 folder + QStringLiteral("/template.dot"));
    }

    void folderThatIsNotPrivateIsRefused_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("open to others") << "mode";
        QTest::newRow("a link to a folder") << "link";
        QTest::newRow("someone else's") << "owner";
        QTest::newRow("a plain file") << "file";
    }
    void folderThatIsNotPrivateIsRefused()
    {
        QFETCH(QString, kind);
        const QString folder = mRuntime.filePath(QStringLiteral("ticketwright"));
        QTemporaryDir elsewhere;
        QVERIFY(::chmod(QFile::encodeName(elsewhere.path()).constData(), 0700) == 0);
        if (kind == QLatin1String("mode")) {
            QVERIFY(QDir().mkdir(folder));
            QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0755) == 0);
        } else if (kind == QLatin1String("link")) {
            QVERIFY(QFile::link(elsewhere.path(), folder));
        } else if (kind == QLatin1String("owner")) {
            QVERIFY(QDir().mkdir(folder));
            QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0700) == 0);
            if (!chownToNobody(folder)) {
                QSKIP("only root can give a folder to another user");
            }
        } else {
            writeBytes(folder, "not a folder");
        }
        const struct stat before = lstatOf(folder);
        QVERIFY_THROWS_EXCEPTION(AppError, temp_folder::path());
        QVERIFY_THROWS_EXCEPTION(AppError, temp_folder::file(QStringLiteral("template.dot")));
        // Left as it was: not repaired, not taken over, nothing written through a link.
        const struct stat after = lstatOf(folder);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_uid, before.st_uid);
        QVERIFY(entries(elsewhere.path()).isEmpty());
    }

    void temporaryFolderFromTheEnvironmentIsUsedAsItIs()
    {
        QTemporaryDir shared;
        QVERIFY(::chmod(QFile::encodeName(shared.path()).constData(), 01777) == 0);
        qputenv("TEMP", QFile::encodeName(shared.path()));
        QCOMPARE(temp_folder::path(), shared.path());
        QCOMPARE(lstatOf(shared.path()).st_mode & 07777, 01777u);
        QVERIFY(!QFileInfo::exists(mRuntime.filePath(QStringLiteral("ticketwright"))));
    }

    // A template put back is written over whatever has its name; a planted link is replaced, and
    // what it points to stays as it was.
    void replacingWriteNeverWritesThroughALink()
    {
        QTemporaryDir dir;
        const QString victim = dir.filePath(QStringLiteral("victim"));
        const QString placed = dir.filePath(QStringLiteral("template.dot"));
        writeBytes(victim, "precious");
        QVERIFY(QFile::link(victim, placed));
        WriteFileReplacing("template bytes", placed);
        QCOMPARE(readAll(victim), QByteArray("precious"));
        QVERIFY(S_ISREG(lstatOf(placed).st_mode));
        QCOMPARE(readAll(placed), QByteArray("template bytes"));
        QCOMPARE(lstatOf(placed).st_mode & 0777, 0600u);
        QCOMPARE(entries(dir.path()).size(), 2);
        // A dangling link is replaced too, and nothing appears where it pointed.
        QVERIFY(QFile::remove(placed));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("nowhere")), placed));
        WriteFileReplacing("again", placed);
        QCOMPARE(readAll(placed), QByteArray("again"));
        QVERIFY(!QFileInfo::exists(dir.filePath(QStringLiteral("nowhere"))));
    }

    // A write cut short (here by a file size limit, as a full disk would) leaves the name as it
    // was and no partial file beside it.
    void writeThatRunsOutOfSpaceLeavesNothing_data()
    {
        QTest::addColumn<bool>("replacing");
        QTest::newRow("template") << false;
        QTest::newRow("picture") << true;
    }
    void writeThatRunsOutOfSpaceLeavesNothing()
    {
        QFETCH(bool, replacing);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("file"));
        if (replacing) {
            writeBytes(path, "the old picture");
        }
        const pid_t child = ::fork();
        if (child == 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit = {4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &limit);
            const QByteArray big(64 * 1024, 'x');
            try {
                replacing ? WriteFileReplacing(big, path) : WriteFileIfMissing(big, path);
            } catch (const AppError& e) {
                ::_exit(QString::fromUtf8(e.what()).contains(QStringLiteral("Cannot write")) ? 0
                                                                                             : 2);
            }
            ::_exit(1);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        if (replacing) {
            QCOMPARE(readAll(path), QByteArray("the old picture"));
            QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("file")});
        } else {
            QVERIFY(entries(dir.path()).isEmpty());
        }
    }

    // Two writers of the same missing file: the one that comes second keeps the first's file,
    // and nobody ever sees a part of one.
    // A killed program's result goes at a later start; a running program's, and a file that no
    // run claimed, stay.
    void resultsOfEndedProgramsAreSweptUp()
    {
        QTemporaryDir temp;
        const QDir dir(temp.path());
        const QString claims = dir.filePath(QStringLiteral("claims"));
        const pid_t ended = ::fork();
        if (ended == 0) {
            ::_exit(0);
        }
        QCOMPARE(::waitpid(ended, nullptr, 0), ended);
        const auto result = [&](const QString& name) {
            writeBytes(dir.filePath(name), "result");
            return dir.filePath(name);
        };
        const auto claimAs = [&](qint64 pid, const QString& path) {
            QDir().mkpath(claims);
            writeBytes(QStringLiteral("%1/%2-%3").arg(claims).arg(pid).arg(qHash(path)),
                       path.toUtf8());
        };
        claimAs(ended, result(QStringLiteral("zanfel11111111.doc")));
        result_claims::claim(result(QStringLiteral("zanfel22222222.doc")), claims);
        // Drawn again by a running program after the killed one claimed it.
        claimAs(ended, result(QStringLiteral("zanfel33333333.doc")));
        result_claims::claim(dir.filePath(QStringLiteral("zanfel33333333.doc")), claims);
        result(QStringLiteral("zanfel44444444.doc"));
        // A claim garbled into another name of the folder.
        claimAs(ended, result(QStringLiteral("notes.txt")));

        result_claims::sweep(claims);
        const QStringList left = dir.entryList(QDir::Files);
        QCOMPARE(left,
                 QStringList({QStringLiteral("notes.txt"), QStringLiteral("zanfel22222222.doc"),
                              QStringLiteral("zanfel33333333.doc"),
                              QStringLiteral("zanfel44444444.doc")}));
        QCOMPARE(QDir(claims).entryList(QDir::Files).size(), 2);
        // Once the preview has removed its file, the program lets go of its claim.
        QVERIFY(QFile::remove(dir.filePath(QStringLiteral("zanfel22222222.doc"))));
        result_claims::release(claims);
        QCOMPARE(QDir(claims).entryList(QDir::Files).size(), 1);
    }

    void concurrentWritersOfAMissingFileAgree()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("template.dot"));
        const QByteArray first(200 * 1024, 'a');
        const QByteArray second(200 * 1024, 'b');
        for (int round = 0; round < 20; ++round) {
            QFile::remove(path);
            const pid_t child = ::fork();
            if (child == 0) {
                try {
                    WriteFileIfMissing(second, path);
                } catch (...) {
                    ::_exit(1);
                }
                ::_exit(0);
            }
            WriteFileIfMissing(first, path);
            const QByteArray seen = readAll(path);
            QVERIFY(seen == first || seen == second);
            int status = 0;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            QCOMPARE(readAll(path), seen);
            QCOMPARE(entries(dir.path()), QStringList{QStringLiteral("template.dot")});
        }
    }
};

QTEST_GUILESS_MAIN(TestTempFolder)
#include "test_temp_folder.moc"
