#include "page_index.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/style/BreakType.hpp>
#include <com/sun/star/text/XTextRange.hpp>

#include <algorithm>

namespace word {

namespace {

// Enough for the run's steps back from the end: the last page and the one before it.
constexpr std::size_t kHeldWhileAppending = 3;

} // namespace

namespace css = com::sun::star;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

PageIndex::PageIndex(const Reference<css::text::XText>& text)
    : mText(text), mCompare(text, UNO_QUERY_THROW)
{}

bool PageIndex::startsPage(const Reference<css::uno::XInterface>& paragraph)
{
    Reference<css::beans::XPropertySet> props(paragraph, UNO_QUERY);
    if (!props.is()) {
        return false; // a table or another non-paragraph
    }
    css::style::BreakType breakType = css::style::BreakType_NONE;
    props->getPropertyValue("BreakType") >>= breakType;
    if (breakType == css::style::BreakType_PAGE_BEFORE ||
        breakType == css::style::BreakType_PAGE_BOTH) {
        return true;
    }
    rtl::OUString pageStyle;
    props->getPropertyValue("PageDescName") >>= pageStyle;
    return !pageStyle.isEmpty();
}

void PageIndex::rebuild()
{
    mStarts.clear();
    mStarts.push_back(mText->createTextCursorByRange(mText->getStart()));
    Reference<css::container::XEnumerationAccess> access(mText, UNO_QUERY_THROW);
    Reference<css::container::XEnumeration> paragraphs = access->createEnumeration();
    bool first = true;
    while (paragraphs->hasMoreElements()) {
        Reference<css::text::XTextRange> paragraph(paragraphs->nextElement(), UNO_QUERY);
        if (!first && paragraph.is() && startsPage(paragraph)) {
            mStarts.push_back(mText->createTextCursorByRange(paragraph->getStart()));
        }
        first = false;
    }
    mValid = true;
}

void PageIndex::appendIfValid(const Cursor& start)
{
    if (mValid) {
        mStarts.push_back(start);
        if (mStarts.size() > kHeldWhileAppending) {
            mStarts[mStarts.size() - kHeldWhileAppending - 1].clear();
        }
    }
}

int PageIndex::lastPage()
{
    if (!mValid) {
        rebuild();
    }
    return static_cast<int>(mStarts.size()) - 1;
}

int PageIndex::pageOf(const Reference<css::text::XTextRange>& position)
{
    if (!mValid) {
        rebuild();
    }
    // compareRegionStarts(a, b) is 1 when a starts before b, 0 when both start at one place.
    const auto startsAtOrBefore = [&](int page) {
        if (!held(page)) {
            rebuild();
        }
        return mCompare->compareRegionStarts(
                   css::uno::Reference<css::text::XTextRange>(mStarts[page].get()), position) >= 0;
    };
    const int last = static_cast<int>(mStarts.size()) - 1;
    if (startsAtOrBefore(last)) {
        return last; // the usual case: the insertion point is on the last page
    }
    int low = 0, high = last - 1; // answer in [low, high]
    while (low < high) {
        const int middle = (low + high + 1) / 2;
        if (startsAtOrBefore(middle)) {
            low = middle;
        } else {
            high = middle - 1;
        }
    }
    return low;
}

PageIndex::Cursor PageIndex::pageStartFrom(int& page, int offset)
{
    if (!mValid) {
        rebuild();
    }
    const int last = static_cast<int>(mStarts.size()) - 1;
    page = std::clamp(page + offset, 0, last);
    if (!held(page)) {
        rebuild();
    }
    return mStarts[page];
}

} // namespace word
