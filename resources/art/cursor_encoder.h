#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>

// Writes the shipped hand cursor, and the cursors tests read back: a Windows cursor file (.cur)
// holding one 32-bit bitmap image with its AND mask and hot spot.
namespace CursorEncoder {

QByteArray encode(const QImage& picture, QPoint hotSpot);

} // namespace CursorEncoder
