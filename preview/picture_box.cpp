#include "picture_box.h"

#include "twips.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
}

namespace {

// Pictures without a resolution of their own are taken as the screen's usual 96 dpi.
qreal pictureDpi(int dotsPerMeter)
{
    const qreal dpi = dotsPerMeter * 0.0254;
    return dpi >= 1.0 ? dpi : 96.0;
}

} // namespace

QSizeF PictureBox::twipsOf(const QImage& picture)
{
    return {twips::toTwips(picture.width(), pictureDpi(picture.dotsPerMeterX())),
            twips::toTwips(picture.height(), pictureDpi(picture.dotsPerMeterY()))};
}

QRect PictureBox::pixelsOf(const QImage& picture, QSizeF twips)
{
    return QRect(0, 0, twips::toPixels(twips.width(), pictureDpi(picture.dotsPerMeterX())),
                 twips::toPixels(twips.height(), pictureDpi(picture.dotsPerMeterY())))
        .intersected(picture.rect());
}

QPixmap PictureBox::drawingOf(const QImage& picture, const QRect& from, QSize pixels, qreal ratio)
{
    if (picture.isNull() || pixels.isEmpty()) {
        return {};
    }
    const QImage part = from == picture.rect() ? picture : picture.copy(from);
    QPixmap drawing =
        QPixmap::fromImage(part.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
    drawing.setDevicePixelRatio(ratio);
    return drawing;
}

void PictureBox::setDrawing(const QPixmap& drawing)
{
    mDrawing = drawing;
    update();
}

void PictureBox::paintEvent(QPaintEvent* event)
{
    if (mDrawing.isNull()) {
        return;
    }
    QPainter painter(this);
    painter.setClipRegion(event->region());
    painter.drawPixmap(0, 0, mDrawing);
}

void PictureBox::mousePressEvent(QMouseEvent* event)
{
    if (onMouseDown) {
        onMouseDown(event->position());
    }
    event->accept();
}

void PictureBox::mouseMoveEvent(QMouseEvent* event)
{
    if (onMouseMove) {
        onMouseMove(event->buttons(), event->position());
    }
    event->accept();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event)
{
    if (onMouseUp) {
        onMouseUp();
    }
    event->accept();
}
