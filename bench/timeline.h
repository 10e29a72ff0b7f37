#pragma once

#include <QImage>
#include <QString>

#include <map>
#include <utility>
#include <vector>

// What one run did when, as the timed office layer saw it: named marks in seconds since the
// bench began, the end of each added page, the run's first picture and the offices' figures.
struct Timeline
{
    // Seconds since the bench began.
    static double now();
    // The run being timed.
    static Timeline& current();

    std::vector<std::pair<QString, double>> marks;
    std::vector<double> pastes;
    QImage picture; // the first one the run made
    long peakKiB = 0;
    std::map<QString, double> officeCpu; // seconds, by process id, as last seen
    // At the click: its time, and the processor time used until then, which is not the run's.
    double click = 0;
    double programCpuAtClick = 0;
    std::map<QString, double> officeCpuAtClick;
    void mark(const QString& what) { marks.emplace_back(what, now()); }
    // Milliseconds a page took around that page, or -1.
    double pageMs(int page) const;
    double at(const QString& what, int nth = 1) const
    {
        for (const auto& [name, t] : marks) {
            if (name == what && --nth == 0) {
                return t;
            }
        }
        return -1;
    }
    // The first mark of that name after the time, or -1.
    double firstAfter(const QString& what, double after) const
    {
        for (const auto& [name, t] : marks) {
            if (name == what && t > after) {
                return t;
            }
        }
        return -1;
    }
    double last(const QString& what) const
    {
        double found = -1;
        for (const auto& [name, t] : marks) {
            if (name == what) {
                found = t;
            }
        }
        return found;
    }
};
