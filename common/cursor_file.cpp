#include "cursor_file.h"

#include "app_error.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>
#include <QtEndian>

namespace {

constexpr qint64 kMaxCursorFileSize = 4 * 1024 * 1024;
constexpr int kMaxSide = 256;
constexpr qsizetype kHeaderSize = 6;
constexpr qsizetype kEntrySize = 16;

[[noreturn]] void broken(const QString& why)
{
    throw AppError(QStringLiteral("Invalid cursor file: %1").arg(why));
}

quint16 u16(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

quint32 u32(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}

// A side in the directory: 0 stands for 256.
int side(const QByteArray& b, qsizetype at)
{
    const int stored = static_cast<quint8>(b[at]);
    return stored == 0 ? kMaxSide : stored;
}

// Checks the directory and where the largest image lies; returns that image's entry.
qsizetype largestEntry(const QByteArray& bytes)
{
    if (bytes.size() < kHeaderSize) {
        broken(QStringLiteral("file too short"));
    }
    if (u16(bytes, 0) != 0 || u16(bytes, 2) != 2) {
        broken(QStringLiteral("not a cursor file"));
    }
    const int count = u16(bytes, 4);
    if (count == 0 || kHeaderSize + kEntrySize * count > bytes.size()) {
        broken(QStringLiteral("no usable image directory"));
    }
    qsizetype best = kHeaderSize;
    for (int i = 1; i < count; ++i) {
        const qsizetype entry = kHeaderSize + kEntrySize * i;
        if (side(bytes, entry) * side(bytes, entry + 1) >
            side(bytes, best) * side(bytes, best + 1)) {
            best = entry;
        }
    }
    const quint64 size = u32(bytes, best + 8);
    const quint64 offset = u32(bytes, best + 12);
    const quint64 directoryEnd = quint64(kHeaderSize + kEntrySize * count);
    if (offset < directoryEnd || offset > quint64(bytes.size()) ||
        size > quint64(bytes.size()) - offset) {
        broken(QStringLiteral("image lies outside the file"));
    }
    return best;
}

QImage readImage(const QByteArray& bytes, int index)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QImage picture;
    if (reader.jumpToImage(index)) {
        picture = reader.read();
    }
    if (picture.isNull() || picture.width() > kMaxSide || picture.height() > kMaxSide) {
        broken(QStringLiteral("unreadable image"));
    }
    return picture;
}

} // namespace

namespace CursorFile {

Image decode(const QByteArray& bytes)
{
    const qsizetype entry = largestEntry(bytes);
    const QPoint hotSpot(u16(bytes, entry + 4), u16(bytes, entry + 6));
    const QImage picture = readImage(bytes, static_cast<int>((entry - kHeaderSize) / kEntrySize));
    if (hotSpot.x() >= picture.width() || hotSpot.y() >= picture.height()) {
        broken(QStringLiteral("hot spot outside the image"));
    }
    return {picture, hotSpot};
}

QCursor load(const QString& path)
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

} // namespace CursorFile
