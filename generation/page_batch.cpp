#include "page_batch.h"

#include "word_automation.h"

#include <QScopeGuard>

void PageBatch::begin(int firstLabel)
{
    mFirstLabel = firstLabel;
    mTrap.step(firstLabel, [&] {
        mSelection().BeginBatch();
        mOpen = true;
    });
}

void PageBatch::end(const std::function<void()>& meanwhile)
{
    bool reachedBatch = false;
    const auto ensureMeanwhile = qScopeGuard([&] {
        if (!reachedBatch && meanwhile) {
            meanwhile();
        }
    });
    if (!mOpen) {
        return;
    }
    mOpen = false;
    const std::vector<int> labels = std::exchange(mLabels, {});
    std::vector<word::BatchFailure> failures;
    // When none of the page's steps could run (the office is gone), the first one reports it.
    mTrap.step(labels.empty() ? mFirstLabel : labels.front(), [&] {
        word::Selection& selection = mSelection();
        reachedBatch = true;
        failures = selection.EndBatch(meanwhile);
    });
    for (const word::BatchFailure& failure : failures) {
        const auto at = static_cast<std::size_t>(failure.index);
        mTrap.reportAt(at < labels.size() ? labels[at] : mFirstLabel,
                       std::make_exception_ptr(word::Error(failure.description)));
    }
}
