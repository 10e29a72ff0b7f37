#include "offices_ahead.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

OfficesAhead::OfficesAhead(QWidget& window, std::function<void(int count)> start)
    : mWindow(window), mStart(std::move(start))
{
    // The window's own events, and the person's first turn to any of its widgets.
    qApp->installEventFilter(this);
}

OfficesAhead::~OfficesAhead()
{
    qApp->removeEventFilter(this);
}

bool OfficesAhead::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &mWindow && event->type() == QEvent::Show) {
        mStarted = false;
        QTimer::singleShot(kDelayMs, this, [this] {
            mStarted = true;
            mStart(wanted());
        });
    }
    if (!mApproached) {
        const QEvent::Type type = event->type();
        auto* const widget = qobject_cast<QWidget*>(watched);
        // Not the pointer's entering: a window that comes up under a pointer at rest has it too.
        if ((type == QEvent::KeyPress || type == QEvent::MouseButtonPress) && widget != nullptr &&
            (widget == &mWindow || mWindow.isAncestorOf(widget))) {
            approached();
        }
    }
    return QObject::eventFilter(watched, event);
}

void OfficesAhead::approached()
{
    mApproached = true;
    // Before the delayed start, that start asks for both.
    if (mStarted) {
        mStart(wanted());
    }
}
