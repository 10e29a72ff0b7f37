#pragma once

#include <QCursor>
#include <QPointer>
#include <QWidget>

#include <optional>

// The window-wide mouse pointer: default, hourglass or custom (the hand cursor), with the hover
// rules that never replace the hourglass.
class WindowPointer
{
public:
    enum Value
    {
        Default = 0,
        Hourglass = 11,
        Custom = 99
    };

    explicit WindowPointer(QWidget* window) : mWindow(window) {}

    Value value() const { return mValue; }
    void set(Value value);
    // Over a button: the hand, unless the hourglass shows.
    void hoverHand();
    // Over the background, a frame or the first field: the default, unless the hourglass shows.
    void hoverReset();

    // The image shown for Custom; without one, the platform's pointing hand stands in.
    void setCustomCursor(const QCursor& cursor) { mCustom = cursor; }
    bool hasCustomCursor() const { return mCustom.has_value(); }

private:
    QPointer<QWidget> mWindow;
    Value mValue = Default;
    std::optional<QCursor> mCustom;
};
