#include "twips.h"

#include <QtMath>

int twips::toPixels(qreal twips, qreal dpi)
{
    return qRound(twips * dpi / 1440.0);
}

qreal twips::toTwips(qreal pixels, qreal dpi)
{
    return pixels * 1440.0 / dpi;
}

QRect twips::toPixels(const QRect& twips, qreal dpi)
{
    return {toPixels(twips.left(), dpi), toPixels(twips.top(), dpi), toPixels(twips.width(), dpi),
            toPixels(twips.height(), dpi)};
}
