#pragma once

#include <QImage>
#include <QPixmap>
#include <QWidget>

#include <functional>

// A picture box: holds a picture and shows a persistent drawing of it. Showing is cheap: the
// drawing is a ready pixmap, so moving the box inside its container never repaints the picture.
class PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    // The picture the box holds (the source of any drawing).
    void setPicture(const QImage& picture) { mPicture = picture; }
    const QImage& picture() const { return mPicture; }

    // A picture's size in twips at its own resolution (96 dpi when it has none), and the part of
    // it (in its pixels) that twips from its top left corner cover.
    static QSizeF twipsOf(const QImage& picture);
    static QRect pixelsOf(const QImage& picture, QSizeF twips);
    // The part from (in pixels) of picture drawn at pixels, for a screen of that device pixel
    // ratio; an empty drawing when there is nothing to draw or the scaling failed.
    static QPixmap drawingOf(const QImage& picture, const QRect& from, QSize pixels, qreal ratio);

    // What the box shows; its device pixel ratio keeps it sharp on high-density screens.
    void setDrawing(const QPixmap& drawing);
    const QPixmap& drawing() const { return mDrawing; }

    // Mouse handlers, positions in pixels relative to the box.
    std::function<void(QPointF pos)> onMouseDown;
    std::function<void(Qt::MouseButtons buttons, QPointF pos)> onMouseMove;
    std::function<void()> onMouseUp;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage mPicture;
    QPixmap mDrawing;
};
