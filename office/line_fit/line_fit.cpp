#include "line_fit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace word {

namespace {

// Where a segment's start and end lie relative to its stop, per unit of its width.
double startShare(LineFit::Align align)
{
    return align == LineFit::Align::Left ? 0.0 : align == LineFit::Align::Center ? -0.5 : -1.0;
}

double endShare(LineFit::Align align)
{
    return startShare(align) + 1.0;
}

double halfPointsBelow(double points)
{
    return std::floor(points * 2.0 + 1e-9) / 2.0;
}

} // namespace

double LineFit::factor(const std::vector<Segment>& segments, double available, double gap)
{
    double best = 1.0;
    // Each bound reads "stretch * f <= room"; a bound with no room at all leaves no factor.
    const auto bound = [&best](double stretch, double room) {
        if (stretch > 0) {
            best = std::min(best, std::max(0.0, room) / stretch);
        } else if (room < 0) {
            best = 0.0;
        }
    };
    const Segment* previous = nullptr;
    for (const Segment& segment : segments) {
        if (segment.width <= 0) {
            continue;
        }
        if (previous == nullptr) {
            bound(-startShare(segment.align) * segment.width, segment.stop);
        } else {
            bound(endShare(previous->align) * previous->width -
                      startShare(segment.align) * segment.width,
                  segment.stop - previous->stop - gap);
        }
        previous = &segment;
    }
    if (previous != nullptr) {
        bound(endShare(previous->align) * previous->width, available - previous->stop);
    }
    return best;
}

LineFit::Size LineFit::shrink(double points, int scalePercent, double factor)
{
    if (factor >= 1.0) {
        return {points, scalePercent};
    }
    // Size times width is what the line's length follows.
    const double budget = points * scalePercent * std::max(factor, 0.0);
    const double floor = std::min(points, kSmallestReadablePoints);
    Size size;
    size.points = halfPointsBelow(std::max(budget / scalePercent, floor));
    size.scalePercent =
        std::min(scalePercent, static_cast<int>(std::floor(budget / size.points + 1e-9)));
    if (size.scalePercent < 1) {
        size.scalePercent = 1;
        size.points = std::max(1.0, halfPointsBelow(budget));
    }
    return size;
}

} // namespace word
