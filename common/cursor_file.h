#pragma once

#include <QByteArray>
#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>

// Windows cursor files (.cur): a directory of images, each a PNG or a device-independent bitmap
// with its AND mask, plus the hot spot. The largest image is used.
class CursorFile
{
public:
    struct Image
    {
        QImage picture;
        QPoint hotSpot;
    };

    // Throws AppError with the reason when the bytes are not a usable cursor.
    static Image decode(const QByteArray& bytes);
    // Reads and decodes the file; a folder, an empty, huge or broken file throws AppError.
    static QCursor load(const QString& path);
    // Writes a cursor file holding one 32-bit bitmap image (used to build the shipped cursor).
    static QByteArray encode(const QImage& picture, QPoint hotSpot);
};
