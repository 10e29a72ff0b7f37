#include "call_progress.h"

#include <algorithm>

namespace word {

void CallProgress::start(const rtl::OUString&, sal_Int32 range)
{
    // One operation may run several tasks in turn, each from 0 to its range; the percent stays
    // where it was until a task passes it.
    mRange = std::max<sal_Int32>(range, 1);
    record(0);
}

void CallProgress::end() {}

void CallProgress::setText(const rtl::OUString&) {}

void CallProgress::setValue(sal_Int32 value)
{
    record(static_cast<int>(std::clamp<long long>(1LL * value * 100 / mRange, 0, 100)));
}

void CallProgress::reset() {}

void CallProgress::record(int percent)
{
    int known = mPercent.load();
    while (percent > known && !mPercent.compare_exchange_weak(known, percent)) {
    }
}

} // namespace word
