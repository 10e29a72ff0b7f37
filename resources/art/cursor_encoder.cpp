#include "cursor_encoder.h"

#include <QDataStream>
#include <QIODevice>

namespace CursorEncoder {

QByteArray encode(const QImage& source, QPoint hotSpot)
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

} // namespace CursorEncoder
