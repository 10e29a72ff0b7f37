#pragma once

#include <QRect>

// Window geometry is designed in twips (1/1440 inch); the screen's logical DPI turns it into
// pixels.
namespace twips {

int toPixels(qreal twips, qreal dpi);
qreal toTwips(qreal pixels, qreal dpi);
QRect toPixels(const QRect& twips, qreal dpi);

} // namespace twips
