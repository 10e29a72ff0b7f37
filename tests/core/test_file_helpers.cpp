#include "app_error.h"
#include "file_helpers.h"
#include "test_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// When set, a hard link is refused as a file system without them refuses it: this runs at the
// moment of the refusal, and its result is the errno.
std::function<int(const char* to)> gRefuseLink;

} // namespace

// Stands in for the C library's link() in this program, so a test can play a file system
// without hard links.
extern "C" int link(const char* from, const char* to) noexcept
{
    if (gRefuseLink) {
        errno = gRefuseLink(to);
        return -1;
    }
    return ::linkat(AT_FDCWD, from, AT_FDCWD, to, 0);
}

namespace {

const QByteArray kTemplate("\xd0\xcf\x11\xe0 template", 13);

} // namespace

class TestFileHelpers : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // A write past the file size limit must fail, not end the test.
        std::signal(SIGXFSZ, SIG_IGN);
    }

    void fileExists()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("a.txt");
        writeBytes(file, "x");
        QVERIFY(FileExists(file));
        QVERIFY(FileExists(dir.path()));
        QVERIFY(!FileExists(""));
        QVERIFY(!FileExists(dir.filePath("*.txt")));
        QVERIFY(!FileExists(dir.filePath("a.tx?")));
        QVERIFY(!FileExists(dir.filePath("missing")));
    }

    void writeNeverOverwrites()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("template.dot");
        writeBytes(file, "");
        WriteFileIfMissing("new content", file);
        QCOMPARE(readAll(file), QByteArray());

        const QString fresh = dir.filePath("fresh.dot");
        const QByteArray bytes("\xd0\xcf\x11\xe0\0\1\2", 7);
        WriteFileIfMissing(bytes, fresh);
        QCOMPARE(readAll(fresh), bytes);
    }

    void writeRefusesPlantedLink()
    {
        QTemporaryDir dir;
        const QString target = dir.filePath("victim");
        const QString link = dir.filePath("template.dot");
        QVERIFY(QFile::link(target, link));
        QVERIFY(FileExists(link)); // a dangling link still takes the name
        QVERIFY_THROWS_EXCEPTION(AppError, RequireOwnRegularFile(link));
        WriteFileIfMissing("payload", link);
        QVERIFY(!QFile::exists(target));
        QVERIFY(QFile::remove(link));
        // Even if the link appears between the test and the write, it is not followed.
        QVERIFY(QFile::link(target, link));
        QVERIFY_THROWS_EXCEPTION(AppError, RequireOwnRegularFile(link));
        QVERIFY(!QFile::exists(target));
    }

    void writeFailureLeavesNothing()
    {
        if (::geteuid() == 0) {
            QSKIP("root writes into read-only folders");
        }
        QTemporaryDir dir;
        QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0500) == 0);
        const QString file = dir.filePath("template.dot");
        QVERIFY_THROWS_EXCEPTION(AppError, WriteFileIfMissing("x", file));
        QVERIFY(!QFile::exists(file));
        ::chmod(QFile::encodeName(dir.path()).constData(), 0700);
    }

    void writeWithoutHardLinks_data()
    {
        QTest::addColumn<int>("refusal");
        QTest::addColumn<QString>("meanwhile");   // what appears at the name as the link is refused
        QTest::addColumn<QByteArray>("expected"); // the file afterwards; empty: none

        QTest::newRow("vfat") << EPERM << QString() << kTemplate;
        QTest::newRow("network mount") << EOPNOTSUPP << QString() << kTemplate;
        QTest::newRow("another copy's file is kept") << EPERM << "file" << QByteArray("theirs");
        QTest::newRow("a planted link is not followed") << EPERM << "link" << QByteArray();
        QTest::newRow("a full disk leaves no half file") << EPERM << "disk full" << QByteArray();
    }
    void writeWithoutHardLinks()
    {
        QFETCH(int, refusal);
        QFETCH(QString, meanwhile);
        QFETCH(QByteArray, expected);

        QTemporaryDir dir;
        const QString file = dir.filePath("template.dot");
        const QString target = dir.filePath("victim");
        rlimit before = {};
        ::getrlimit(RLIMIT_FSIZE, &before);
        gRefuseLink = [&](const char*) {
            if (meanwhile == "file") {
                writeBytes(file, "theirs");
            } else if (meanwhile == "link") {
                QFile::link(target, file);
            } else if (meanwhile == "disk full") {
                const rlimit full = {4, before.rlim_max};
                ::setrlimit(RLIMIT_FSIZE, &full);
            }
            return refusal;
        };
        bool failed = false;
        try {
            WriteFileIfMissing(kTemplate, file);
        } catch (const AppError&) {
            failed = true;
        }
        gRefuseLink = nullptr;
        ::setrlimit(RLIMIT_FSIZE, &before);

        QCOMPARE(failed, meanwhile == "disk full");
        QVERIFY(!QFile::exists(target));
        QCOMPARE(QFileInfo(file).isFile(), !expected.isEmpty());
        if (!expected.isEmpty()) {
            QCOMPARE(readAll(file), expected);
        }
        // No scratch copy is left beside it.
        const bool nameTaken = !expected.isEmpty() || meanwhile == "link";
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                 nameTaken ? QStringList{"template.dot"} : QStringList());
    }

    void deleteQuietly()
    {
        QTemporaryDir dir;
        DeleteFileQuietly(dir.filePath("missing"));
        DeleteFileQuietly("");
        const QString file = dir.filePath("f");
        writeBytes(file, "x");
        DeleteFileQuietly(file);
        QVERIFY(!QFile::exists(file));
    }
};

QTEST_MAIN(TestFileHelpers)
#include "test_file_helpers.moc"
