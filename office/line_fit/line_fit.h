#pragma once

#include <vector>

namespace word {

// How much a line of text must shrink to stay one line, and the character size and width that
// do it. Arithmetic on measured widths only; the office side measures and applies.
class LineFit
{
public:
    enum class Align
    {
        Left,
        Center,
        Right
    };
    // A piece of the line between tabs: its width at the current size, and where it stands: at
    // a tab stop (measured from the start of the line) with that stop's alignment. The piece
    // before the first tab stands Left at 0.
    struct Segment
    {
        double width = 0;
        double stop = 0;
        Align align = Align::Left;
    };
    struct Size
    {
        double points = 0;
        int scalePercent = 100;
    };

    // No size is taken below this while narrowing the letters can still make the line fit.
    static constexpr double kSmallestReadablePoints = 6.0;

    // The largest factor, at most 1, by which every segment's width can be multiplied so that
    // the segments stay within [0, available] and each ends at least `gap` before the next one
    // starts. 0 when the tab stops themselves leave no room.
    static double factor(const std::vector<Segment>& segments, double available, double gap);

    // The size and letter width for text set at `points` and `scalePercent` whose width must
    // shrink by `factor` (< 1): smaller first, down to kSmallestReadablePoints; then narrower,
    // down to 1 %; then smaller again, down to 1 pt. Sizes go in half points, the steps a Word
    // 97 file keeps, always rounded towards a narrower line.
    static Size shrink(double points, int scalePercent, double factor);
};

} // namespace word
