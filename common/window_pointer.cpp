#include "window_pointer.h"

void WindowPointer::set(Value value)
{
    mValue = value;
    if (mWindow.isNull()) {
        return;
    }
    switch (value) {
    case Default:
        mWindow->unsetCursor();
        break;
    case Hourglass:
        mWindow->setCursor(Qt::WaitCursor);
        break;
    case Custom:
        mWindow->setCursor(mCustom.value_or(QCursor(Qt::PointingHandCursor)));
        break;
    }
}

void WindowPointer::hoverHand()
{
    if (mValue != Hourglass) {
        set(Custom);
    }
}

void WindowPointer::hoverReset()
{
    if (mValue != Hourglass) {
        set(Default);
    }
}
