#pragma once

#include <QObject>

#include <functional>

class QWidget;

// The offices of the next run start while the person types, a moment after the main window comes
// up, so that they do not slow the window's own start. The run's own office starts then; the
// picture's, a second, once the person first turns to the window (a key or a click in it): a window
// left open and unused holds one office, not two.
class OfficesAhead : public QObject
{
public:
    // start(count) asks for count offices waiting in all.
    OfficesAhead(QWidget& window, std::function<void(int count)> start);
    ~OfficesAhead() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void approached();
    int wanted() const { return mApproached ? 2 : 1; }

    QWidget& mWindow;
    std::function<void(int)> mStart;
    bool mApproached = false;
    // Whether the window's delayed start has asked for offices since it was last shown.
    bool mStarted = false;

    static constexpr int kDelayMs = 500;
};
