#pragma once

#include <QSize>
#include <QString>
#include <QtGlobal>

#include <functional>

class ErrorTrap;

// The geometry behind the preview window, in twips and without any widget.
//
// Picture1 (the displayed picture) sits inside Picture2 (the view, which clips it). Zoom_Ori
// holds the unzoomed picture; every repaint comes from it at mZoom. Two scroll bars move
// Picture1 by mHScrollUnit / mVScrollUnit twips per step, and dragging moves it directly,
// after which the bars are set to match. The window mirrors this state onto its widgets after
// each handler; only RedrawImage asks it to paint.
class PictureModel
{
public:
    // The scroll bar properties the handlers rely on. A fresh bar has the platform's default
    // range 0..32767.
    struct ScrollBar
    {
        qint16 value = 0;
        qint16 maximum = 32767;
        bool enabled = true;
    };

    // What the window does for the model: copy Picture1's picture into Zoom_Ori, paint
    // Zoom_Ori's (0, 0, source) twips into Picture1 at (0, 0, target) twips, and put the
    // window's pointer back to default.
    struct Hooks
    {
        std::function<void()> copyPictureToZoomOri;
        std::function<void(QSize target, QSize source)> paint;
        std::function<void()> pointerToDefault;
    };

    static constexpr float kZoomStep = 0.25f;
    static constexpr float kMinZoom = 0.25f;
    static constexpr float kMaxZoom = 4.0f;
    // Strict limits of a drawn zoom, in twips.
    static constexpr int kMaxZoomWidth = 9999;
    static constexpr int kMaxZoomHeight = 14399;

    // The view's outer size (border included) and inner size (visible area), in twips; owner
    // names the window whose handlers these are, in error reports.
    PictureModel(QSize viewOuter, QSize viewInner, QString owner);

    void setHooks(Hooks hooks) { mHooks = std::move(hooks); }

    // Picture1 receives a new picture and sizes itself to it (twips); its place is unchanged.
    void setPicture(float widthTwips, float heightTwips);

    // The preview set-up, each step its own labelled step of the caller's trap (the window's
    // activation): six steps labelled from firstLabel, rising by 2.
    void PreviewSetup(ErrorTrap& trap, int firstLabel);

    // Trapped handlers.
    void PushButton1_Click(); // "Zoom In"
    void PushButton2_Click(); // "Zoom Out"
    void Picture1_MouseDown(float x, float y);
    void Picture1_MouseMove(bool anyButton, float x, float y);
    void Picture1_MouseUp();
    // Recomputes the zoomed size and paints Picture1 from Zoom_Ori; returns false when the
    // zoom was refused for its size (then nothing was painted).
    bool RedrawImage();

    // Untrapped: failures reach the caller's trap.
    void ZoomStep(qint32 zoomOut);
    void SetZoom(float zoom);
    void SetupScrollbars();
    void SetHScrollbarByPercent(qint16 percent);
    void SetVScrollbarByPercent(qint16 percent);

    // A bar's value as set by the user (arrow, trough, thumb) or the program; its Change
    // handler runs when the value differs. Throws AppError("Overflow") when the 16-bit
    // product of unit and value does not fit.
    void setHScrollValue(qint16 value);
    void setVScrollValue(qint16 value);

    float zoom() const { return mZoom; }
    qint32 zoomWidth() const { return mZoomWidth; }
    qint32 zoomHeight() const { return mZoomHeight; }
    qint16 hScrollUnit() const { return mHScrollUnit; }
    qint16 vScrollUnit() const { return mVScrollUnit; }
    const ScrollBar& hScroll() const { return mHScroll; }
    const ScrollBar& vScroll() const { return mVScroll; }
    float picture1Left() const { return mLeft; }
    float picture1Top() const { return mTop; }
    float picture1Width() const { return mWidth; }
    float picture1Height() const { return mHeight; }
    QSize viewOuter() const { return mViewOuter; }
    QSize viewInner() const { return mViewInner; }
    // How many times RedrawImage has painted.
    int paintCount() const { return mPaintCount; }

private:
    QString location(const char* procedure) const;
    void readOriginalSize();
    void HScroll1_Change();
    void VScroll1_Change();
    void setupAxis(bool horizontal);
    void setScrollValue(bool horizontal, qint16 value);

    Hooks mHooks;
    QSize mViewOuter;
    QSize mViewInner;
    QString mOwner;

    // Picture1's place and outer size inside the view.
    float mLeft = 0;
    float mTop = 0;
    float mWidth = 0;
    float mHeight = 0;
    // Zoom_Ori's inner size: the unzoomed picture.
    float mOriWidth = 0;
    float mOriHeight = 0;

    float mZoom = 1;
    qint32 mOrigWidth = 0;
    qint32 mOrigHeight = 0;
    qint32 mZoomWidth = 0;
    qint32 mZoomHeight = 0;
    float mDownX = 0;
    float mDownY = 0;
    qint16 mHScrollUnit = 0;
    qint16 mVScrollUnit = 0;
    ScrollBar mHScroll;
    ScrollBar mVScroll;
    int mPaintCount = 0;
};
