#pragma once

#include "document_model.h"
#include "find_request.h"

#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/util/XReplaceDescriptor.hpp>
#include <com/sun/star/util/XReplaceable.hpp>

#include <vector>

namespace word {

// A document's find-and-replace, which keeps what filling placed out of later searches. Each
// match is replaced on its own rather than by the office's replace-all, so that placed text can
// be followed; the document model decides when a match needs a look at placed text or at its
// paragraph's style, and this asks the office only then.
class ReplaceAll
{
public:
    ReplaceAll(
        const com::sun::star::uno::Reference<com::sun::star::text::XText>& text,
        const com::sun::star::uno::Reference<com::sun::star::util::XReplaceable>& replaceable);

    // Over the whole document; what it puts in is placed text from then on.
    bool everywhere(const FindRequest& request, DocumentModel& known);
    // From the insertion point to the end.
    int fromInsertionPoint(
        const FindRequest& request, DocumentModel& known,
        const com::sun::star::uno::Reference<com::sun::star::text::XTextCursor>& cursor);

private:
    // Whether a match may be replaced: it lies in the asked-for paragraph style and touches no
    // placed text (checked only when guard is set).
    bool replaceable(const com::sun::star::uno::Reference<com::sun::star::text::XTextRange>& match,
                     const QString& style, bool guard);
    static QString
    firstStyleAt(const com::sun::star::uno::Reference<com::sun::star::text::XTextCursor>& cursor);
    bool placedTextAfter(
        const com::sun::star::uno::Reference<com::sun::star::text::XTextRange>& position);
    bool overlapsPlacedText(
        const com::sun::star::uno::Reference<com::sun::star::text::XTextRange>& match);

    com::sun::star::uno::Reference<com::sun::star::text::XText> mText;
    com::sun::star::uno::Reference<com::sun::star::util::XReplaceable> mReplaceable;
    // Made once: only the search and replacement texts change between searches.
    com::sun::star::uno::Reference<com::sun::star::util::XReplaceDescriptor> mSearch;
    // Where the model's placed texts are. The collapsed ends are taken from the office only when
    // a search could touch them.
    struct Placement
    {
        com::sun::star::uno::Reference<com::sun::star::text::XTextCursor> range;
        com::sun::star::uno::Reference<com::sun::star::text::XTextCursor> start;
        com::sun::star::uno::Reference<com::sun::star::text::XTextCursor> end;
    };
    std::vector<Placement> mPlaced;
    // The placed text that ends last, once asked for.
    com::sun::star::uno::Reference<com::sun::star::text::XTextCursor> mPlacedEnd;
};

} // namespace word
