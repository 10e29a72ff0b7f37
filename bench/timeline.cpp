#include "timeline.h"

#include <QElapsedTimer>

double Timeline::now()
{
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return static_cast<double>(clock.nsecsElapsed()) / 1e9;
}

Timeline& Timeline::current()
{
    static Timeline timeline;
    return timeline;
}

double Timeline::pageMs(int page) const
{
    // pastes[k] marks the end of page k + 2.
    const auto& p = pastes;
    const size_t k = static_cast<size_t>(page - 2);
    if (page < 3 || k >= p.size()) {
        return -1;
    }
    // The mean over a few pages around it, so one slow call does not stand for the page.
    const size_t from = k >= 5 ? k - 5 : 0;
    return (p[k] - p[from]) / static_cast<double>(k - from) * 1000.0;
}
