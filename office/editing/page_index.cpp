#include "page_index.h"

#include <com/sun/star/beans/XMultiPropertySet.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/style/BreakType.hpp>
#include <com/sun/star/text/XTextRange.hpp>

#include <algorithm>

namespace word {

namespace css = com::sun::star;
using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

// Enough for the run's steps back from the end: the last page and the one before it.
constexpr std::size_t kHeldWhileAppending = 3;

// In the order getPropertyValues wants: sorted.
const css::uno::Sequence<rtl::OUString>& pageBreakNames()
{
    static const css::uno::Sequence<rtl::OUString> names = [] {
        css::uno::Sequence<rtl::OUString> both(2);
        both.getArray()[0] = "BreakType";
        both.getArray()[1] = "PageDescName";
        return both;
    }();
    return names;
}

} // namespace

PageIndex::PageIndex(const Reference<css::text::XText>& text)
    : mText(text), mCompare(text, UNO_QUERY_THROW)
{}

bool PageIndex::startsPage(const Reference<css::uno::XInterface>& paragraph)
{
    css::style::BreakType breakType = css::style::BreakType_NONE;
    rtl::OUString pageStyle;
    // Both at once where the paragraph can: the index reads every paragraph of the document.
    if (Reference<css::beans::XMultiPropertySet> both{paragraph, UNO_QUERY}; both.is()) {
        const css::uno::Sequence<css::uno::Any> values = both->getPropertyValues(pageBreakNames());
        if (values.getLength() == 2) {
            values[0] >>= breakType;
            values[1] >>= pageStyle;
        }
    } else if (Reference<css::beans::XPropertySet> props{paragraph, UNO_QUERY}; props.is()) {
        props->getPropertyValue("BreakType") >>= breakType;
        props->getPropertyValue("PageDescName") >>= pageStyle;
    } else {
        return false; // a table or another non-paragraph
    }
    return breakType == css::style::BreakType_PAGE_BEFORE ||
           breakType == css::style::BreakType_PAGE_BOTH || !pageStyle.isEmpty();
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
