#include "app_error.h"
#include "file_helpers.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestFileHelpers : public QObject
{
    Q_OBJECT

private slots:
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

    void clipboardPicture()
    {
        QGuiApplication::clipboard()->clear();
        QVERIFY(GetClipboardPicture(0).isNull());
        QImage picture(20, 10, QImage::Format_RGB32);
        picture.fill(Qt::red);
        QGuiApplication::clipboard()->setImage(picture);
        const QImage back = GetClipboardPicture(0);
        QCOMPARE(back.size(), QSize(20, 10));
    }
};

QTEST_MAIN(TestFileHelpers)
#include "test_file_helpers.moc"
