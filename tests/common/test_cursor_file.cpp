#include "app_error.h"
#include "cursor_encoder.h"
#include "cursor_file.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

namespace {

QImage arrow()
{
    QImage image(32, 32, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x <= y / 2; ++x) {
            image.setPixel(x + 3, y + 1, qRgba(0, 0, 0, 255));
        }
    }
    return image;
}

// One cursor file holding the images of several single-image files, in that order.
QByteArray combined(const QList<QByteArray>& files)
{
    const qsizetype directory = 6 + 16 * files.size();
    QByteArray header = files.first().left(6);
    header[4] = static_cast<char>(files.size());
    QByteArray entries;
    QByteArray images;
    for (const QByteArray& file : files) {
        QByteArray entry = file.mid(6, 16);
        qToLittleEndian<quint32>(quint32(directory + images.size()), entry.data() + 12);
        entries += entry;
        images += file.mid(22);
    }
    return header + entries + images;
}

} // namespace

class TestCursorFile : public QObject
{
    Q_OBJECT

private slots:
    void roundTripKeepsPixelsAndHotSpot()
    {
        const QImage source = arrow();
        const CursorFile::Image back = CursorFile::decode(CursorEncoder::encode(source, {3, 1}));
        QCOMPARE(back.hotSpot, QPoint(3, 1));
        QCOMPARE(back.picture.size(), QSize(32, 32));
        QCOMPARE(back.picture.pixel(3, 1), source.pixel(3, 1));
        QCOMPARE(qAlpha(back.picture.pixel(31, 0)), 0);
    }

    void largestImageWithItsOwnHotSpot()
    {
        QImage small(16, 16, QImage::Format_ARGB32);
        small.fill(Qt::red);
        const QByteArray bytes = combined({CursorEncoder::encode(small, {15, 15}),
                                           CursorEncoder::encode(arrow(), {3, 1}),
                                           CursorEncoder::encode(small, {0, 0})});
        const CursorFile::Image back = CursorFile::decode(bytes);
        QCOMPARE(back.hotSpot, QPoint(3, 1));
        QCOMPARE(back.picture.size(), QSize(32, 32));
        QCOMPARE(back.picture.pixel(3, 1), arrow().pixel(3, 1));
    }

    void brokenFilesAreRefused_data()
    {
        const QByteArray good = CursorEncoder::encode(arrow(), {3, 1});
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("header only") << good.left(6);
        QTest::newRow("truncated pixels") << good.left(good.size() / 2);
        QTest::newRow("an icon, not a cursor") << QByteArray(good).replace(2, 1, "\x01");
        QByteArray farOffset = good;
        farOffset[18] = '\x7f';
        farOffset[19] = '\x7f';
        farOffset[20] = '\x7f';
        QTest::newRow("image outside the file") << farOffset;
        QByteArray hot = good;
        hot[10] = '\x40';
        QTest::newRow("hot spot outside") << hot;
        QTest::newRow("text") << QByteArray("not a cursor at all");
    }
    void brokenFilesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY_THROWS_EXCEPTION(AppError, CursorFile::decode(bytes));
    }

    // Random damage anywhere in a good file: decoded or refused, never a crash.
    void randomDamage()
    {
        const QByteArray good = CursorEncoder::encode(arrow(), {3, 1});
        QRandomGenerator random(7);
        for (int i = 0; i < 2000; ++i) {
            QByteArray bytes = good;
            for (int k = 0; k < 4; ++k) {
                bytes[random.bounded(static_cast<int>(qMin<qsizetype>(bytes.size(), 80)))] =
                    static_cast<char>(random.bounded(256));
            }
            if (i % 3 == 0) {
                bytes.truncate(random.bounded(static_cast<int>(bytes.size())));
            }
            try {
                CursorFile::decode(bytes);
            } catch (const AppError&) {
            }
        }
    }

    void loadRefusesFolderAndHugeFile()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("HAND-M.CUR"));
        QVERIFY_THROWS_EXCEPTION(AppError, CursorFile::load(dir.filePath("HAND-M.CUR")));
        QFile huge(dir.filePath("huge.cur"));
        QVERIFY(huge.open(QIODevice::WriteOnly));
        QVERIFY(huge.resize(64LL * 1024 * 1024));
        huge.close();
        QVERIFY_THROWS_EXCEPTION(AppError, CursorFile::load(huge.fileName()));
    }
};

QTEST_MAIN(TestCursorFile)
#include "test_cursor_file.moc"
