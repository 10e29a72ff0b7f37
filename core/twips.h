#pragma once

#include <QRect>

// Window geometry is designed in twips (1/1440 inch); the screen's logical DPI turns it into
// pixels.
class Twips
{
public:
    static int toPixels(qreal twips, qreal dpi);
    static qreal toTwips(qreal pixels, qreal dpi);
    static QRect toPixels(const QRect& twips, qreal dpi);
};
