#include "layout_stages.h"

#include <com/sun/star/uno/RuntimeException.hpp>

#include <limits>

namespace word {

namespace {

constexpr int kStagedFromPages = 20;
// The longest document left without a layout while it grows.
constexpr int kUnstagedUpTo = 1000;

} // namespace

LayoutStages::LayoutStages() : mStagedFrom(kStagedFromPages) {}

void LayoutStages::expectPages(int pages)
{
    mStagedFrom = pages > 0 && pages <= kUnstagedUpTo ? kUnstagedUpTo : kStagedFromPages;
}

void LayoutStages::pageAppended(
    const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
    const com::sun::star::uno::Reference<com::sun::star::text::XText>& text)
{
    if (!mStaging && ++mUnstagedPages >= mStagedFrom) {
        try {
            mStaging.emplace(model, text);
        } catch (const com::sun::star::uno::RuntimeException&) {
            throw; // the office is gone or broken: the next call would fail as well
        } catch (const com::sun::star::uno::Exception&) {
            // Without stages the pages are laid out at the end: slower, the same document.
            mUnstagedPages = std::numeric_limits<int>::min();
        }
    }
    if (mStaging) {
        mStaging->pageAdded();
    }
}

void LayoutStages::end()
{
    if (!mStaging) {
        return;
    }
    // Ended even when putting the page style back fails, so that no later call tries again on a
    // half-restored document; the failure is reported.
    std::optional<StagedLayout> staging;
    staging.swap(mStaging);
    mUnstagedPages = 0;
    staging->finish();
}

} // namespace word
