#include "picture_model.h"

#include "app_error.h"
#include "app_identity.h"
#include "error_trap.h"
#include "number_text.h"

#include <cmath>
#include <optional>

namespace {

[[noreturn]] void overflow()
{
    throw AppError(QStringLiteral("Overflow"));
}

// A whole number that must fit Int; anything outside (or not finite) is an overflow.
template <typename Int> Int fitted(std::optional<Int> whole)
{
    if (!whole) {
        overflow();
    }
    return *whole;
}

qint16 toInt16(double value)
{
    return fitted(checkedWhole<qint16>(roundHalfEven(value)));
}

qint32 toInt32(double value)
{
    return fitted(checkedWhole<qint32>(roundHalfEven(value)));
}

qint32 wholePart(double value)
{
    return fitted(checkedWhole<qint32>(std::floor(value)));
}

// The scroll handlers multiply in 16 bits; a result outside that range is an overflow.
qint16 product16(qint16 a, qint16 b)
{
    return fitted(checkedWhole<qint16>(double(a) * double(b)));
}

// |position| / (picture − view) × 100. An exact fit has no range to express a position in.
qint32 percentOf(float position, float pictureSize, int viewSize)
{
    const double range = double(pictureSize) - double(viewSize);
    if (range == 0) {
        throw AppError(QStringLiteral("Division by zero"));
    }
    return toInt32(std::fabs(double(position)) / range * 100.0);
}

} // namespace

PictureModel::PictureModel(QSize viewOuter, QSize viewInner, QString owner)
    : mViewOuter(viewOuter), mViewInner(viewInner), mOwner(std::move(owner))
{}

QString PictureModel::location(const char* procedure) const
{
    return identity::location(mOwner, QString::fromLatin1(procedure));
}

void PictureModel::setPicture(float widthTwips, float heightTwips)
{
    mWidth = widthTwips;
    mHeight = heightTwips;
}

void PictureModel::PreviewSetup(ErrorTrap& trap, int label)
{
    // Zoom_Ori takes Picture1's size (Picture1 fits its picture) and a copy of its picture.
    trap.step(label, [&] {
        mOriWidth = mWidth;
        mOriHeight = mHeight;
        if (mHooks.copyPictureToZoomOri) {
            mHooks.copyPictureToZoomOri();
        }
    });
    trap.step(label += 2, [&] { mZoom = 1; });
    trap.step(label += 2, [&] { readOriginalSize(); });
    trap.step(label += 2, [&] {
        mZoomWidth = wholePart(double(mOrigWidth) * 1);
        mZoomHeight = wholePart(double(mOrigHeight) * 1);
    });
    trap.step(label += 2, [&] { RedrawImage(); });
    trap.step(label += 2, [&] { SetupScrollbars(); });
}

void PictureModel::readOriginalSize()
{
    // The inner size less 2 twips keeps the copy clear of the box's last row and column.
    mOrigWidth = toInt32(double(mOriWidth) - 2);
    mOrigHeight = toInt32(double(mOriHeight) - 2);
}

void PictureModel::PushButton1_Click()
{
    ErrorTrap trap(location("PushButton1_Click"));
    trap.step(100, [&] { ZoomStep(0); });
}

void PictureModel::PushButton2_Click()
{
    ErrorTrap trap(location("PushButton2_Click"));
    trap.step(100, [&] { ZoomStep(1); });
}

void PictureModel::ZoomStep(qint32 zoomOut)
{
    const float zoom = zoomOut == 0 ? mZoom + kZoomStep : mZoom - kZoomStep;
    SetZoom(zoom);
}

void PictureModel::SetZoom(float zoom)
{
    if (zoom < kMinZoom || zoom > kMaxZoom) {
        return;
    }
    mZoom = zoom;
    // The bars' range and unit follow the drawn size, so every zoom level can be scrolled.
    if (RedrawImage()) {
        SetupScrollbars();
    }
}

bool PictureModel::RedrawImage()
{
    ErrorTrap trap(location("RedrawImage"));
    trap.step(100, [&] {
        mZoomWidth = wholePart(double(mOrigWidth) * double(mZoom));
        mZoomHeight = wholePart(double(mOrigHeight) * double(mZoom));
    });
    bool refused = false;
    trap.step(102, [&] { refused = mZoomWidth > kMaxZoomWidth || mZoomHeight > kMaxZoomHeight; });
    if (refused) {
        // The view keeps the last drawn zoom; the next step starts again from 1.
        trap.step(104, [&] { mZoom = 1; });
        trap.step(106, [&] { readOriginalSize(); });
        trap.step(108, [&] {
            mZoomWidth = wholePart(double(mOrigWidth) * double(mZoom));
            mZoomHeight = wholePart(double(mOrigHeight) * double(mZoom));
        });
        return false;
    }
    trap.step(110, [&] {
        mWidth = float(mZoomWidth);
        mHeight = float(mZoomHeight);
    });
    trap.step(112, [&] {
        ++mPaintCount;
        if (mHooks.paint) {
            mHooks.paint(QSize(mZoomWidth, mZoomHeight), QSize(mOrigWidth, mOrigHeight));
        }
    });
    trap.step(114, [&] {
        if (mHooks.pointerToDefault) {
            mHooks.pointerToDefault();
        }
    });
    trap.step(116, [&] { setHScrollValue(0); });
    trap.step(118, [&] { setVScrollValue(0); });
    trap.step(120, [&] {
        mHScroll.enabled = mViewInner.width() < mZoomWidth;
        mVScroll.enabled = mViewInner.height() < mZoomHeight;
    });
    return true;
}

void PictureModel::SetupScrollbars()
{
    mTop = 0;
    mLeft = 0;
    setupAxis(true);
    setupAxis(false);
}

void PictureModel::setupAxis(bool horizontal)
{
    const float picture = horizontal ? mWidth : mHeight;
    const int view = horizontal ? mViewOuter.width() : mViewOuter.height();
    ScrollBar& bar = horizontal ? mHScroll : mVScroll;
    qint16& unit = horizontal ? mHScrollUnit : mVScrollUnit;

    if (!(picture > float(view))) {
        bar.enabled = false;
        unit = 0;
        return;
    }
    const float d = picture - float(view);
    bar.enabled = true;
    if (d <= 100) {
        bar.maximum = toInt16(d);
        unit = 1;
    } else {
        bar.maximum = toInt16(double(d) / 10);
        unit = 10;
    }
    // A bar cannot hold a value above its new maximum.
    if (bar.value > bar.maximum) {
        setScrollValue(horizontal, bar.maximum);
    }
    setScrollValue(horizontal, 0);
}

void PictureModel::setHScrollValue(qint16 value)
{
    setScrollValue(true, value);
}

void PictureModel::setVScrollValue(qint16 value)
{
    setScrollValue(false, value);
}

void PictureModel::setScrollValue(bool horizontal, qint16 value)
{
    ScrollBar& bar = horizontal ? mHScroll : mVScroll;
    if (value < 0) {
        value = 0;
    }
    if (value > bar.maximum) {
        value = bar.maximum;
    }
    if (bar.value == value) {
        return;
    }
    bar.value = value;
    if (horizontal) {
        HScroll1_Change();
    } else {
        VScroll1_Change();
    }
}

void PictureModel::HScroll1_Change()
{
    mLeft = -float(product16(mHScrollUnit, mHScroll.value));
}

void PictureModel::VScroll1_Change()
{
    mTop = -float(product16(mVScrollUnit, mVScroll.value));
}

void PictureModel::Picture1_MouseDown(float x, float y)
{
    ErrorTrap trap(location("picture1_MouseDown"));
    trap.step(100, [&] { mDownX = x; });
    trap.step(102, [&] { mDownY = y; });
}

void PictureModel::Picture1_MouseMove(bool anyButton, float x, float y)
{
    ErrorTrap trap(location("picture1_MouseMove"));
    if (!anyButton) {
        return;
    }
    // x and y are measured on the moving picture, so the pressed point stays under the mouse.
    float left = 0;
    float top = 0;
    trap.step(100, [&] { left = mLeft - mDownX + x; });
    trap.step(102, [&] {
        const float lowest = float(mViewInner.width()) - mWidth;
        if (left > 0) {
            left = 0;
        } else if (lowest > left) {
            left = lowest;
        }
    });
    trap.step(104, [&] { top = mTop - mDownY + y; });
    trap.step(106, [&] {
        const float lowest = float(mViewInner.height()) - mHeight;
        if (top > 0) {
            top = 0;
        } else if (lowest > top) {
            top = lowest;
        }
    });
    trap.step(108, [&] {
        mLeft = left;
        mTop = top;
    });
}

void PictureModel::Picture1_MouseUp()
{
    ErrorTrap trap(location("Picture1_MouseUp"));
    qint32 horizontal = 0;
    qint32 vertical = 0;
    trap.step(100, [&] { horizontal = percentOf(mLeft, mWidth, mViewOuter.width()); });
    trap.step(102, [&] { vertical = percentOf(mTop, mHeight, mViewOuter.height()); });
    trap.step(104, [&] { SetHScrollbarByPercent(toInt16(horizontal)); });
    trap.step(106, [&] { SetVScrollbarByPercent(toInt16(vertical)); });
}

void PictureModel::SetHScrollbarByPercent(qint16 percent)
{
    if (percent < 0 || percent > 100) {
        return;
    }
    setHScrollValue(toInt16(double(percent) / 100.0 * double(mHScroll.maximum)));
}

void PictureModel::SetVScrollbarByPercent(qint16 percent)
{
    if (percent < 0 || percent > 100) {
        return;
    }
    setVScrollValue(toInt16(double(percent) / 100.0 * double(mVScroll.maximum)));
}
