#include "picture_box.h"

#include <QMouseEvent>
#include <QPainter>

PictureBox::PictureBox(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, Qt::white);
    setPalette(colours);
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
