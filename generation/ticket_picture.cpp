#include "ticket_picture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QXmlStreamReader>

#include <cmath>
#include <zlib.h>

namespace {

const QString kKinds = QStringLiteral("PNG, JPEG, SVG, BMP or GIF");

QString nameOf(const QString& path)
{
    return QFileInfo(path).fileName();
}

// Whether the content is XML whose first element is an SVG drawing; one cut short or damaged
// before that element ends counts when it begins like one.
bool looksLikeSvg(const QByteArray& content)
{
    QXmlStreamReader xml(content);
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement) {
            return xml.name() == QLatin1String("svg");
        }
    }
    return xml.hasError() && content.left(4096).contains("<svg");
}

// A reference that leaves the file: anything but a fragment of this file ("#id") or data held in
// it ("data:").
bool leavesTheFile(QStringView reference)
{
    const QStringView target = reference.trimmed();
    return !target.isEmpty() && !target.startsWith(QLatin1Char('#')) &&
           !target.startsWith(QLatin1String("data:"), Qt::CaseInsensitive);
}

// The first reference in style text (a style attribute or a style element) that leaves the file.
QString outsideReferenceInStyle(const QString& style)
{
    static const QRegularExpression url(
        QStringLiteral("url\\(\\s*['\"]?([^'\")]*)|@import\\s*['\"]?([^'\";\\s]*)"),
        QRegularExpression::CaseInsensitiveOption);
    for (auto it = url.globalMatch(style); it.hasNext();) {
        const auto match = it.next();
        const QString target = match.captured(1).isNull() ? match.captured(2) : match.captured(1);
        if (match.captured(1).isNull() || leavesTheFile(target)) {
            return target.isEmpty() ? match.captured() : target;
        }
    }
    return {};
}

// The first thing in an SVG that would make a reader fetch another file or go to the network,
// or declare entities (which can stand for another file); empty when it holds everything itself.
QString outsideReference(const QByteArray& content)
{
    QXmlStreamReader xml(content);
    bool inStyle = false;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            if (!xml.entityDeclarations().isEmpty()) {
                return QStringLiteral("an entity declaration");
            }
            break;
        case QXmlStreamReader::ProcessingInstruction:
            if (xml.processingInstructionTarget() != QLatin1String("xml")) {
                return QStringLiteral("<?%1?>").arg(xml.processingInstructionTarget());
            }
            break;
        case QXmlStreamReader::StartElement: {
            if (xml.namespaceUri() == QLatin1String("http://www.w3.org/2001/XInclude")) {
                return QStringLiteral("an XInclude");
            }
            inStyle = xml.name() == QLatin1String("style");
            for (const QXmlStreamAttribute& attribute : xml.attributes()) {
                const QStringView name = attribute.name();
                if ((name == QLatin1String("href") || name == QLatin1String("src")) &&
                    leavesTheFile(attribute.value())) {
                    return attribute.value().toString();
                }
                const QString inCss = outsideReferenceInStyle(attribute.value().toString());
                if (!inCss.isEmpty()) {
                    return inCss;
                }
            }
            break;
        }
        case QXmlStreamReader::EndElement:
            inStyle = false;
            break;
        case QXmlStreamReader::Characters:
            if (inStyle) {
                const QString inCss = outsideReferenceInStyle(xml.text().toString());
                if (!inCss.isEmpty()) {
                    return inCss;
                }
            }
            break;
        default:
            break;
        }
    }
    return {};
}

enum class Unpacked
{
    NotPacked,
    Done,
    Damaged,
    TooLarge
};

// Unpacks gzip content (an SVG saved compressed, .svgz) into out, up to limit bytes.
Unpacked gunzip(const QByteArray& content, qint64 limit, QByteArray& out)
{
    if (!content.startsWith("\x1f\x8b")) {
        return Unpacked::NotPacked;
    }
    z_stream stream = {};
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        return Unpacked::Damaged;
    }
    const auto end = qScopeGuard([&] { inflateEnd(&stream); });
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(content.constData()));
    stream.avail_in = static_cast<uInt>(content.size());
    char chunk[64 * 1024];
    for (int status = Z_OK; status != Z_STREAM_END;) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END) {
            return Unpacked::Damaged; // cut short, too, as no progress is then possible
        }
        out.append(chunk, static_cast<qsizetype>(sizeof chunk - stream.avail_out));
        if (out.size() > limit) {
            return Unpacked::TooLarge;
        }
    }
    return Unpacked::Done;
}

// The pixel size that fits within largest, proportions kept; size itself when it fits already.
QSize fitted(const QSize& size, const QSize& largest)
{
    if (size.width() <= largest.width() && size.height() <= largest.height()) {
        return size;
    }
    return size.scaled(largest, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

// The memory decoding takes: the whole picture, four bytes a pixel, except for a JPEG, which is
// decoded at an eighth, a quarter or half its size where that still gives the pixels wanted.
qint64 bytesToRead(const QByteArray& format, const QSize& size, const QSize& wanted)
{
    int divisor = 1;
    while (format == "jpeg" && divisor < 8 && size.width() / (divisor * 2) >= wanted.width() &&
           size.height() / (divisor * 2) >= wanted.height()) {
        divisor *= 2;
    }
    return qint64(size.width() / divisor + 1) * (size.height() / divisor + 1) * 4;
}

} // namespace

QSize TicketPicture::largestPixels()
{
    return {static_cast<int>(std::ceil(kBoxPoints.width() * kDotsPerInch / 72.0)),
            static_cast<int>(std::ceil(kBoxPoints.height() * kDotsPerInch / 72.0))};
}

TicketPicture TicketPicture::refused(const QString& problem)
{
    TicketPicture picture;
    picture.mProblem = problem;
    return picture;
}

TicketPicture TicketPicture::read(const QString& path)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists()) {
        return refused(QStringLiteral("The picture \"%1\" cannot be found.").arg(path));
    }
    // Only a plain file: a folder, a device or a pipe could never end or never be a picture.
    if (!info.isFile()) {
        return refused(QStringLiteral("\"%1\" is not a picture file.").arg(path));
    }
    if (info.size() == 0) {
        return refused(QStringLiteral("The picture \"%1\" is empty.").arg(nameOf(path)));
    }
    if (info.size() > kMemoryLimit) {
        return refused(QStringLiteral("The picture \"%1\" is too large: %2 MiB, more than the "
                                      "%3 MiB a picture may take.")
                           .arg(nameOf(path))
                           .arg(info.size() >> 20)
                           .arg(kMemoryLimit >> 20));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return refused(QStringLiteral("The picture \"%1\" cannot be read: %2.")
                           .arg(nameOf(path), file.errorString()));
    }
    const QByteArray content = file.read(kMemoryLimit + 1);
    if (file.error() != QFileDevice::NoError) {
        return refused(QStringLiteral("The picture \"%1\" cannot be read: %2.")
                           .arg(nameOf(path), file.errorString()));
    }
    if (content.isEmpty()) {
        return refused(QStringLiteral("The picture \"%1\" is empty.").arg(nameOf(path)));
    }
    // A compressed SVG is checked, and given to the office, as the drawing it holds.
    QByteArray unpacked;
    switch (gunzip(content, kMemoryLimit, unpacked)) {
    case Unpacked::NotPacked:
        return looksLikeSvg(content) ? readSvg(path, content) : readRaster(path, content);
    case Unpacked::Damaged:
        return refused(QStringLiteral("The picture \"%1\" cannot be read: its compressed data is "
                                      "damaged.")
                           .arg(nameOf(path)));
    case Unpacked::TooLarge:
        return refused(QStringLiteral("The picture \"%1\" is too large: unpacked, it is more than "
                                      "the %2 MiB a picture may take.")
                           .arg(nameOf(path))
                           .arg(kMemoryLimit >> 20));
    case Unpacked::Done:
        break;
    }
    if (!looksLikeSvg(unpacked)) {
        return refused(QStringLiteral("\"%1\" is not a picture Ticketwright can use. Choose a %2 "
                                      "file.")
                           .arg(nameOf(path), kKinds));
    }
    return readSvg(path, unpacked);
}

TicketPicture TicketPicture::readSvg(const QString& path, const QByteArray& content)
{
    QXmlStreamReader xml(content);
    while (!xml.atEnd()) {
        xml.readNext();
    }
    if (xml.hasError()) {
        return refused(QStringLiteral("The picture \"%1\" is a damaged SVG drawing: %2 (line %3).")
                           .arg(nameOf(path), xml.errorString())
                           .arg(xml.lineNumber()));
    }
    const QString outside = outsideReference(content);
    if (!outside.isEmpty()) {
        return refused(QStringLiteral("The picture \"%1\" refers to something outside it (%2). "
                                      "Use a picture that holds everything itself.")
                           .arg(nameOf(path), outside.left(80)));
    }
    TicketPicture picture;
    picture.mBytes = content;
    return picture;
}

TicketPicture TicketPicture::readRaster(const QString& path, const QByteArray& content)
{
    QBuffer buffer;
    buffer.setData(content);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setDecideFormatFromContent(true);
    reader.setAutoTransform(true);
    reader.setAllocationLimit(static_cast<int>(kMemoryLimit >> 20));
    const QByteArray format = reader.format();
    // What a reader would draw as SVG is drawn only once checked as one (see readSvg): Qt's SVG
    // reader fetches the files an SVG names.
    if (format.isEmpty() || format.startsWith("svg") || !reader.canRead()) {
        return refused(QStringLiteral("\"%1\" is not a picture Ticketwright can use. Choose a %2 "
                                      "file.")
                           .arg(nameOf(path), kKinds));
    }
    const QSize size = reader.size();
    const bool turned = reader.transformation().testFlag(QImageIOHandler::TransformationRotate90);
    const QSize upright = turned ? size.transposed() : size;
    const QSize wanted = size.isValid() ? fitted(upright, largestPixels()) : QSize();
    if (size.isValid() && bytesToRead(format, upright, wanted) > kMemoryLimit) {
        return refused(QStringLiteral("The picture \"%1\" is too large: %2 × %3 pixels need more "
                                      "than the %4 MiB a picture may take.")
                           .arg(nameOf(path))
                           .arg(size.width())
                           .arg(size.height())
                           .arg(kMemoryLimit >> 20));
    }
    const bool asItIs = (format == "png" || format == "jpeg") && wanted == upright &&
                        reader.transformation() == QImageIOHandler::TransformationNone;
    if (wanted.isValid() && wanted != upright) {
        // Scaled while it is decoded where the kind allows (a JPEG is never decoded whole).
        reader.setScaledSize(turned ? wanted.transposed() : wanted);
    }
    QImage image = reader.read();
    if (image.isNull()) {
        return refused(QStringLiteral("The picture \"%1\" cannot be read: %2.")
                           .arg(nameOf(path), reader.errorString()));
    }
    TicketPicture picture;
    if (asItIs) {
        picture.mBytes = content;
        return picture;
    }
    if (!size.isValid()) {
        image = image.scaled(fitted(image.size(), largestPixels()), Qt::KeepAspectRatio,
                             Qt::SmoothTransformation);
    }
    QBuffer out(&picture.mBytes);
    out.open(QIODevice::WriteOnly);
    // A photograph stays a JPEG, small; anything else, or with transparency, a PNG.
    const bool photograph = format == "jpeg" && !image.hasAlphaChannel();
    QImageWriter writer(&out, photograph ? "jpeg" : "png");
    if (photograph) {
        writer.setQuality(92);
    }
    if (!writer.write(image)) {
        return refused(QStringLiteral("The picture \"%1\" cannot be prepared: %2.")
                           .arg(nameOf(path), writer.errorString()));
    }
    return picture;
}
