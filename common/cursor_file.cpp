#include "cursor_file.h"

#include "app_error.h"

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>

namespace {

constexpr qint64 kMaxCursorFileSize = 4 * 1024 * 1024;
constexpr int kMaxSide = 256;

[[noreturn]] void broken(const QString& why)
{
    throw AppError(QStringLiteral("Invalid cursor file: %1").arg(why));
}

quint16 u16(const QByteArray& b, qsizetype at)
{
    return static_cast<quint16>(static_cast<quint8>(b[at]) | (static_cast<quint8>(b[at + 1]) << 8));
}

quint32 u32(const QByteArray& b, qsizetype at)
{
    return static_cast<quint32>(u16(b, at)) | (static_cast<quint32>(u16(b, at + 2)) << 16);
}

qint32 s32(const QByteArray& b, qsizetype at)
{
    return static_cast<qint32>(u32(b, at));
}

// A bitmap entry: BITMAPINFOHEADER, optional palette, XOR pixels bottom-up, then the AND mask.
QImage decodeBitmap(const QByteArray& data)
{
    if (data.size() < 40 || u32(data, 0) < 40) {
        broken(QStringLiteral("bitmap header too short"));
    }
    const quint32 headerSize = u32(data, 0);
    const qint32 width = s32(data, 4);
    const qint32 doubledHeight = s32(data, 8);
    const quint16 bits = u16(data, 14);
    const quint32 compression = u32(data, 16);
    quint32 colours = u32(data, 32);
    if (width <= 0 || width > kMaxSide || doubledHeight <= 0 || doubledHeight > 2 * kMaxSide ||
        doubledHeight % 2 != 0) {
        broken(QStringLiteral("unsupported image size"));
    }
    if (compression != 0 || (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
        broken(QStringLiteral("unsupported bitmap format"));
    }
    const int height = doubledHeight / 2;
    if (bits <= 8 && colours == 0) {
        colours = 1u << bits;
    }
    if (bits > 8) {
        colours = 0;
    }
    if (colours > 256) {
        broken(QStringLiteral("palette too large"));
    }
    const qsizetype paletteAt = headerSize;
    const qsizetype pixelsAt = paletteAt + 4 * static_cast<qsizetype>(colours);
    const qsizetype xorStride = ((width * bits + 31) / 32) * 4;
    const qsizetype andStride = ((width + 31) / 32) * 4;
    const qsizetype andAt = pixelsAt + xorStride * height;
    if (andAt + andStride * height > data.size()) {
        broken(QStringLiteral("image data truncated"));
    }
    QImage image(width, height, QImage::Format_ARGB32);
    bool anyAlpha = false;
    for (int y = 0; y < height; ++y) {
        const qsizetype row = pixelsAt + xorStride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            QRgb colour = 0;
            if (bits == 32) {
                const quint32 v = u32(data, row + 4 * x);
                colour = v;
                anyAlpha = anyAlpha || qAlpha(v) != 0;
            } else if (bits == 24) {
                const qsizetype p = row + 3 * x;
                colour = qRgb(static_cast<quint8>(data[p + 2]), static_cast<quint8>(data[p + 1]),
                              static_cast<quint8>(data[p]));
            } else {
                const int perByte = 8 / bits;
                const quint8 byte = static_cast<quint8>(data[row + x / perByte]);
                const int shift = (perByte - 1 - x % perByte) * bits;
                const quint32 index = (byte >> shift) & ((1u << bits) - 1);
                if (index >= colours) {
                    broken(QStringLiteral("colour index outside the palette"));
                }
                const qsizetype c = paletteAt + 4 * index;
                colour = qRgb(static_cast<quint8>(data[c + 2]), static_cast<quint8>(data[c + 1]),
                              static_cast<quint8>(data[c]));
            }
            image.setPixel(x, y, bits == 32 ? colour : colour | 0xff000000u);
        }
    }
    // Without an alpha channel, the AND mask says which pixels are transparent.
    if (!anyAlpha) {
        for (int y = 0; y < height; ++y) {
            const qsizetype row = andAt + andStride * (height - 1 - y);
            for (int x = 0; x < width; ++x) {
                const quint8 byte = static_cast<quint8>(data[row + x / 8]);
                const bool transparent = (byte >> (7 - x % 8)) & 1;
                QRgb pixel = image.pixel(x, y) | 0xff000000u;
                image.setPixel(x, y, transparent ? qRgba(0, 0, 0, 0) : pixel);
            }
        }
    }
    return image;
}

} // namespace

CursorFile::Image CursorFile::decode(const QByteArray& bytes)
{
    if (bytes.size() < 6) {
        broken(QStringLiteral("file too short"));
    }
    if (u16(bytes, 0) != 0 || u16(bytes, 2) != 2) {
        broken(QStringLiteral("not a cursor file"));
    }
    const int count = u16(bytes, 4);
    if (count == 0 || 6 + 16 * count > bytes.size()) {
        broken(QStringLiteral("no usable image directory"));
    }
    int best = -1;
    int bestArea = -1;
    for (int i = 0; i < count; ++i) {
        const qsizetype entry = 6 + 16 * i;
        const int w =
            static_cast<quint8>(bytes[entry]) == 0 ? 256 : static_cast<quint8>(bytes[entry]);
        const int h = static_cast<quint8>(bytes[entry + 1]) == 0
                          ? 256
                          : static_cast<quint8>(bytes[entry + 1]);
        if (w * h > bestArea) {
            bestArea = w * h;
            best = i;
        }
    }
    const qsizetype entry = 6 + 16 * best;
    const QPoint hotSpot(u16(bytes, entry + 4), u16(bytes, entry + 6));
    const quint32 size = u32(bytes, entry + 8);
    const quint32 offset = u32(bytes, entry + 12);
    if (offset < 6u + 16u * count || offset > static_cast<quint64>(bytes.size()) ||
        size > static_cast<quint64>(bytes.size()) - offset) {
        broken(QStringLiteral("image lies outside the file"));
    }
    const QByteArray data = bytes.mid(offset, size);
    QImage picture;
    if (data.startsWith("\x89PNG")) {
        picture = QImage::fromData(data, "PNG");
        if (picture.isNull() || picture.width() > kMaxSide || picture.height() > kMaxSide) {
            broken(QStringLiteral("unreadable PNG image"));
        }
    } else {
        picture = decodeBitmap(data);
    }
    if (hotSpot.x() >= picture.width() || hotSpot.y() >= picture.height()) {
        broken(QStringLiteral("hot spot outside the image"));
    }
    return {picture, hotSpot};
}

QCursor CursorFile::load(const QString& path)
{
    QFileInfo info(path);
    if (info.isDir()) {
        broken(QStringLiteral("%1 is a folder").arg(path));
    }
    if (info.size() > kMaxCursorFileSize) {
        broken(QStringLiteral("%1 is too large").arg(path));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw AppError(QStringLiteral("Cannot read %1: %2").arg(path, file.errorString()));
    }
    const Image image = decode(file.read(kMaxCursorFileSize + 1));
    return QCursor(QPixmap::fromImage(image.picture), image.hotSpot.x(), image.hotSpot.y());
}

QByteArray CursorFile::encode(const QImage& source, QPoint hotSpot)
{
    const QImage picture = source.convertToFormat(QImage::Format_ARGB32);
    const int w = picture.width();
    const int h = picture.height();
    const int andStride = ((w + 31) / 32) * 4;
    const quint32 dataSize = 40 + static_cast<quint32>(w * h * 4 + andStride * h);
    QByteArray out;
    QDataStream s(&out, QIODevice::WriteOnly);
    s.setByteOrder(QDataStream::LittleEndian);
    s << quint16(0) << quint16(2) << quint16(1);
    s << quint8(w == 256 ? 0 : w) << quint8(h == 256 ? 0 : h) << quint8(0) << quint8(0)
      << quint16(hotSpot.x()) << quint16(hotSpot.y()) << dataSize << quint32(6 + 16);
    s << quint32(40) << qint32(w) << qint32(2 * h) << quint16(1) << quint16(32) << quint32(0)
      << quint32(0) << qint32(0) << qint32(0) << quint32(0) << quint32(0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            s << quint32(picture.pixel(x, y));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(andStride, '\0');
        for (int x = 0; x < w; ++x) {
            if (qAlpha(picture.pixel(x, y)) == 0) {
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
            }
        }
        s.writeRawData(row.constData(), row.size());
    }
    return out;
}
