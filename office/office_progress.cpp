#include "office_progress.h"

#include <algorithm>

namespace word {

OfficeProgress::OfficeProgress(ProgressHandler handler) : mHandler(std::move(handler)) {}

void OfficeProgress::start(const rtl::OUString&, sal_Int32 range)
{
    // One operation may run several tasks in turn, each from 0 to its range; the percent stays
    // where it was until a task passes it.
    mRange = std::max<sal_Int32>(range, 1);
    report(0);
}

void OfficeProgress::end() {}

void OfficeProgress::setText(const rtl::OUString&) {}

void OfficeProgress::setValue(sal_Int32 value)
{
    report(static_cast<int>(std::clamp<qint64>(qint64(value) * 100 / mRange, 0, 100)));
}

void OfficeProgress::reset() {}

void OfficeProgress::report(int percent)
{
    if (!mHandler) {
        return;
    }
    // Every report reaches the handler, even one that adds nothing: each is a chance for the
    // caller's events to run.
    mLast = std::max(percent, mLast);
    try {
        mHandler(mLast);
    } catch (...) {
        // A report that fails must not break the office's work; nothing depends on it.
    }
}

} // namespace word
