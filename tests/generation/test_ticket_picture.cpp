// The organiser's picture as the program reads it: what is refused, with which words, and what
// the office is given.

#include "ticket_picture.h"

#include <QBuffer>
#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <sys/stat.h>

namespace {

QByteArray encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

// The checksum a PNG chunk carries.
quint32 crc32Of(const char* data, int size)
{
    quint32 crc = 0xffffffffu;
    for (int i = 0; i < size; ++i) {
        crc ^= static_cast<quint8>(data[i]);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

// A PNG that claims this size in its header (its CRC put right), with one tiny image's data.
QByteArray pngClaiming(quint32 width, quint32 height)
{
    QByteArray png = encoded(QImage(2, 2, QImage::Format_RGB32), "png");
    qToBigEndian(width, png.data() + 16);
    qToBigEndian(height, png.data() + 20);
    qToBigEndian(crc32Of(png.constData() + 12, 17), png.data() + 29);
    return png;
}

QByteArray svg(const QByteArray& inside, const QByteArray& before = {})
{
    return before +
           "<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"40\" height=\"30\">" +
           inside + "</svg>";
}

// The content as gzip writes it (an .svgz): qCompress's deflate data in gzip's frame.
QByteArray gzipped(const QByteArray& content)
{
    const QByteArray zlib = qCompress(content);
    QByteArray gzip("\x1f\x8b\x08\0\0\0\0\0\0\x03", 10);
    gzip += zlib.mid(6, zlib.size() - 10);
    char trailer[8];
    qToLittleEndian(crc32Of(content.constData(), int(content.size())), trailer);
    qToLittleEndian(quint32(content.size()), trailer + 4);
    return gzip + QByteArray(trailer, 8);
}

} // namespace

class TestTicketPicture : public QObject
{
    Q_OBJECT

    QTemporaryDir mFolder;

    QString file(const QString& name, const QByteArray& content)
    {
        QFile f(mFolder.filePath(name));
        f.open(QIODevice::WriteOnly);
        f.write(content);
        return f.fileName();
    }

private slots:
    void refused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QString() << QByteArray() << "cannot be found";
        QTest::newRow("a folder") << "folder" << QByteArray() << "is not a picture file";
        QTest::newRow("a pipe") << "pipe" << QByteArray() << "is not a picture file";
        QTest::newRow("empty") << "empty.png" << QByteArray("") << "is empty";
        QTest::newRow("text") << "notes.png" << QByteArray("just some words\n")
                              << "is not a picture Ticketwright can use";
        QTest::newRow("a PDF") << "logo.pdf" << QByteArray("%PDF-1.4\n%\xe2\xe3\n1 0 obj\n")
                               << "is not a picture Ticketwright can use";
        QByteArray damaged = encoded(QImage(300, 200, QImage::Format_RGB32), "png");
        damaged.truncate(60);
        QTest::newRow("damaged") << "cut.png" << damaged << "cannot be read";
        QTest::newRow("too large to read")
            << "huge.png" << pngClaiming(60000, 60000) << "too large: 60000 × 60000 pixels";
        QTest::newRow("damaged SVG")
            << "cut.svg" << svg("<circle r=\"4\"").left(60) << "damaged SVG";
        for (const char* reference :
             {"<image xlink:href=\"file:///etc/passwd\" width=\"4\" height=\"4\"/>",
              "<image href=\"https://example.org/logo.png\" width=\"4\" height=\"4\"/>",
              "<use xlink:href=\"other.svg#logo\"/>",
              "<rect style=\"fill:url(http://example.org/f.svg#p)\" width=\"4\" height=\"4\"/>",
              "<style>@import 'http://example.org/a.css';</style>",
              "<xi:include xmlns:xi=\"http://www.w3.org/2001/XInclude\" href=\"#a\"/>",
              "<?xml-stylesheet href=\"http://example.org/s.css\"?>"}) {
            QTest::newRow(reference) << "outside.svg" << svg(reference) << "refers to something";
        }
        QTest::newRow("compressed SVG referring outside")
            << "outside.svgz"
            << gzipped(svg("<image xlink:href=\"/etc/hostname\" width=\"4\" height=\"4\"/>"))
            << "refers to something";
        QTest::newRow("compressed SVG cut short")
            << "cut.svgz" << gzipped(svg("<circle r=\"4\"/>")).left(30) << "compressed data";
        QTest::newRow("SVG with an entity")
            << "entity.svg"
            << svg("<text>&x;</text>",
                   "<!DOCTYPE svg [<!ENTITY x SYSTEM \"file:///etc/hostname\">]>")
            << "refers to something";
    }
    void refused()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QString path = name.isEmpty() ? mFolder.filePath(QStringLiteral("gone.png")) : QString();
        if (name == QLatin1String("folder")) {
            path = mFolder.filePath(name);
            QDir().mkpath(path);
        } else if (name == QLatin1String("pipe")) {
            path = mFolder.filePath(name);
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        } else if (!name.isEmpty()) {
            path = file(name, content);
        }
        const TicketPicture picture = TicketPicture::read(path);
        QVERIFY(!picture.ok());
        QVERIFY2(picture.problem().contains(message), qPrintable(picture.problem()));
        QVERIFY(picture.bytes().isEmpty());
    }

    // A JPEG too large to decode whole is decoded at an eighth of its size, never whole.
    void hugeJpegReadScaled()
    {
        QByteArray jpeg = encoded(QImage(16, 16, QImage::Format_RGB32), "jpeg");
        const qsizetype frame = jpeg.indexOf("\xff\xc0");
        QVERIFY(frame > 0);
        qToBigEndian(quint16(24000), jpeg.data() + frame + 5); // height
        qToBigEndian(quint16(32000), jpeg.data() + frame + 7); // width
        const TicketPicture picture = TicketPicture::read(file("huge.jpg", jpeg));
        QVERIFY2(picture.ok(), qPrintable(picture.problem()));
        QImage read;
        QVERIFY(read.loadFromData(picture.bytes()));
        QCOMPARE(read.size(), QSize(450, 337));
    }

    // What the office gets: a small PNG or JPEG as it is, an SVG as it is, anything larger than
    // the box needs at print resolution scaled down, other kinds as a PNG.
    void readyForTheOffice()
    {
        QImage small(300, 200, QImage::Format_ARGB32);
        small.fill(Qt::transparent);
        const QByteArray png = encoded(small, "png");
        QCOMPARE(TicketPicture::read(file("small.png", png)).bytes(), png);
        const QByteArray drawing = svg("<circle cx=\"20\" cy=\"15\" r=\"10\" fill=\"#b91c1c\"/>"
                                       "<use xlink:href=\"#a\"/>");
        QCOMPARE(TicketPicture::read(file("logo.svg", drawing)).bytes(), drawing);
        QCOMPARE(TicketPicture::read(file("logo.svgz", gzipped(drawing))).bytes(), drawing);

        const QSize largest = TicketPicture::largestPixels();
        QCOMPARE(largest, QSize(450, 346));
        // Kinds beyond the usual ones too, where this computer writes them (GIF it only reads).
        for (const char* format : {"png", "jpeg", "bmp", "ppm", "tiff", "webp"}) {
            if (!QImageWriter::supportedImageFormats().contains(format)) {
                continue;
            }
            QImage big(4000, 1000, QImage::Format_RGB32);
            big.fill(Qt::darkGreen);
            const TicketPicture picture =
                TicketPicture::read(file(QStringLiteral("big.") + format, encoded(big, format)));
            QVERIFY2(picture.ok(), qPrintable(picture.problem()));
            QImage read;
            QVERIFY(read.loadFromData(picture.bytes()));
            QCOMPARE(read.size(), QSize(450, 112));
            QCOMPARE(QImageReader(file("read", picture.bytes())).format(),
                     QByteArray(format == QByteArray("jpeg") ? "jpeg" : "png"));
        }
    }
};

QTEST_MAIN(TestTicketPicture)
#include "test_ticket_picture.moc"
