#pragma once

#include "error_trap.h"

#include <functional>
#include <utility>
#include <vector>

namespace word {
class Selection;
}

// A page's office steps, gathered and run by the office in one go while the run does its work
// meanwhile. Each step's failure, whether it failed at once or in the batch, is reported at that
// step's own label.
class PageBatch
{
public:
    PageBatch(ErrorTrap& trap, std::function<word::Selection&()> selection)
        : mTrap(trap), mSelection(std::move(selection))
    {}

    // Reported at the first step's label when the selection cannot be had.
    void begin(int firstLabel);
    // A step that reaches the office runs at once outside a batch, or in it only once the batch
    // runs: until then its label is kept. A step that failed here never reached the office.
    template <typename Body> void step(int label, Body&& body)
    {
        if (mTrap.step(label, std::forward<Body>(body)) && mOpen) {
            mLabels.push_back(label);
        }
    }
    // Runs the batch; meanwhile runs here whatever becomes of it, and without a batch as well.
    void end(const std::function<void()>& meanwhile = {});

private:
    ErrorTrap& mTrap;
    std::function<word::Selection&()> mSelection;
    bool mOpen = false;
    int mFirstLabel = 0;
    std::vector<int> mLabels; // of the steps gathered, in order
};
