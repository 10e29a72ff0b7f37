#pragma once

#include <QByteArray>
#include <QCursor>
#include <QImage>
#include <QPoint>
#include <QString>

// Windows cursor files (.cur): a directory of images, each with its hot spot. Qt's ICO reader
// decodes the images; what is read here is the directory, for the hot spot and for the checks
// that keep a damaged file from reaching that reader. The largest image is used.
namespace CursorFile {

struct Image
{
    QImage picture;
    QPoint hotSpot;
};

// Throws AppError with the reason when the bytes are not a usable cursor.
Image decode(const QByteArray& bytes);
// Reads and decodes the file; a folder, an empty, huge or broken file throws AppError.
QCursor load(const QString& path);

} // namespace CursorFile
