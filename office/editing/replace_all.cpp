#include "replace_all.h"

#include "uno_support.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/text/XTextRangeCompare.hpp>

namespace word {

using namespace word::uno;

namespace {

// Only case-blind searches for literal text reach the document (Find refuses the rest), so
// these are the same for every search.
void setSearchOptions(const Reference<css::util::XSearchDescriptor>& descriptor)
{
    Reference<css::beans::XPropertySet> options(descriptor, UNO_QUERY_THROW);
    options->setPropertyValue("SearchCaseSensitive", Any(false));
    options->setPropertyValue("SearchRegularExpression", Any(false));
    options->setPropertyValue("SearchWords", Any(false));
    options->setPropertyValue("SearchSimilarity", Any(false));
    options->setPropertyValue("SearchBackwards", Any(false));
    options->setPropertyValue("SearchStyles", Any(false));
}

} // namespace

ReplaceAll::ReplaceAll(const Reference<css::text::XText>& text,
                       const Reference<css::util::XReplaceable>& replaceable)
    : mText(text), mReplaceable(replaceable), mSearch(replaceable->createReplaceDescriptor())
{
    setSearchOptions(up<css::util::XSearchDescriptor>(mSearch));
}

bool ReplaceAll::everywhere(const FindRequest& request, DocumentModel& known)
{
    mSearch->setSearchString(toOU(request.text));
    // Each match is replaced on its own rather than by the office's replace-all, so that what
    // is placed can be kept out of later searches.
    const Reference<css::container::XIndexAccess> found =
        mReplaceable->findAll(up<css::util::XSearchDescriptor>(mSearch));
    const bool guard = known.guardsEverywhere(request.text);
    std::vector<Reference<css::text::XTextRange>> matches;
    const sal_Int32 count = found.is() ? found->getCount() : 0;
    for (sal_Int32 i = 0; i < count; ++i) {
        Reference<css::text::XTextRange> match(found->getByIndex(i), UNO_QUERY_THROW);
        if (replaceable(match, request.style, guard)) {
            matches.push_back(match);
        }
    }
    const rtl::OUString replacement = toOU(request.replacement);
    for (const auto& match : matches) {
        match->setString(replacement);
        // What is kept is a cursor: a found range is a mark in the document, and marks travel
        // with every copy of the page, which makes each later paste and the save slower.
        if (!request.replacement.isEmpty()) {
            mPlaced.push_back({mText->createTextCursorByRange(match), {}, {}});
            mPlacedEnd.clear();
        }
        known.placed(request.replacement);
    }
    return !matches.empty();
}

int ReplaceAll::fromInsertionPoint(const FindRequest& request, DocumentModel& known,
                                   const Reference<css::text::XTextCursor>& cursor)
{
    mSearch->setSearchString(toOU(request.text));
    // The office searches on from the insertion point; each match costs one call to find it and
    // one to replace it, whatever lies before. A search that starts at a found range goes on
    // from its end, which after the replacement is the end of the replacement text.
    const Reference<css::util::XSearchDescriptor> descriptor =
        up<css::util::XSearchDescriptor>(mSearch);
    const bool guard = known.guardsFromInsertionPoint(
        request.text, [&] { return placedTextAfter(up<css::text::XTextRange>(cursor)); });
    // A match known to lie in the style needs no look at its paragraph.
    const QString style =
        known.matchesOnlyInStyle(request.text, request.style, [&] { return firstStyleAt(cursor); })
            ? QString()
            : request.style;
    const rtl::OUString replacement = toOU(request.replacement);
    // On a page pasted from a copy the matches can be counted beforehand: a search past the
    // last of them, which finds nothing, would cost as much as one that finds something.
    const std::optional<int> atMost = known.matchesAtMost(request.text);
    int replaced = 0;
    int matches = 0;
    Reference<css::uno::XInterface> found;
    if (!atMost || *atMost > 0) {
        found = mReplaceable->findNext(up<css::uno::XInterface>(cursor), descriptor);
    }
    while (found.is()) {
        Reference<css::text::XTextRange> match(found, UNO_QUERY_THROW);
        if (replaceable(match, style, guard)) {
            match->setString(replacement);
            ++replaced;
        }
        if (atMost && ++matches >= *atMost) {
            break;
        }
        found = mReplaceable->findNext(found, descriptor);
    }
    if (replaced > 0) {
        known.replacedFromInsertionPoint(request.style, request.replacement);
    }
    return replaced;
}

bool ReplaceAll::replaceable(const Reference<css::text::XTextRange>& match, const QString& style,
                             bool guard)
{
    if (!style.isEmpty()) {
        rtl::OUString name;
        Reference<css::beans::XPropertySet>(match, UNO_QUERY_THROW)
            ->getPropertyValue("ParaStyleName") >>= name;
        if (toQ(name) != style) {
            return false;
        }
    }
    return !guard || !overlapsPlacedText(match);
}

// The style of the paragraph at the insertion point: on a fresh last page, the one the paste
// gave its first paragraph.
QString ReplaceAll::firstStyleAt(const Reference<css::text::XTextCursor>& cursor)
{
    rtl::OUString first;
    Reference<css::beans::XPropertySet>(cursor, UNO_QUERY_THROW)
        ->getPropertyValue("ParaStyleName") >>= first;
    return toQ(first);
}

bool ReplaceAll::placedTextAfter(const Reference<css::text::XTextRange>& position)
{
    if (mPlaced.empty()) {
        return false;
    }
    Reference<css::text::XTextRangeCompare> compare(mText, UNO_QUERY_THROW);
    if (!mPlacedEnd.is()) {
        for (const Placement& placement : mPlaced) {
            if (!mPlacedEnd.is() ||
                compare->compareRegionEnds(up<css::text::XTextRange>(mPlacedEnd),
                                           up<css::text::XTextRange>(placement.range)) > 0) {
                mPlacedEnd = placement.range;
            }
        }
    }
    // A search goes on from the end of the position; compareRegionEnds answers 1 when the first
    // range ends before the second.
    return compare->compareRegionEnds(position, up<css::text::XTextRange>(mPlacedEnd)) > 0;
}

bool ReplaceAll::overlapsPlacedText(const Reference<css::text::XTextRange>& match)
{
    Reference<css::text::XTextRangeCompare> compare(mText, UNO_QUERY_THROW);
    for (Placement& placement : mPlaced) {
        if (!placement.start.is()) {
            placement.start = mText->createTextCursorByRange(placement.range->getStart());
            placement.end = mText->createTextCursorByRange(placement.range->getEnd());
        }
        // They overlap when each begins before the other ends. Text outside the body (a
        // header, say) cannot be compared with it and does not overlap it.
        try {
            if (compare->compareRegionStarts(match, up<css::text::XTextRange>(placement.end)) > 0 &&
                compare->compareRegionEnds(up<css::text::XTextRange>(placement.start), match) > 0) {
                return true;
            }
        } catch (const css::lang::IllegalArgumentException&) {
        }
    }
    return false;
}

} // namespace word
