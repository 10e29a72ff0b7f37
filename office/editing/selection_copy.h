#pragma once

#include "copied_page.h"

#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>

namespace word {

// What the document model follows of a selection about to be copied: whether a paste of it adds
// exactly one page that starts where the paste starts (so the page index can follow pastes
// without looking at the pasted text again), and its paragraphs' styles and texts.
CopiedPage
copiedPageOf(const com::sun::star::uno::Reference<com::sun::star::text::XText>& text,
             const com::sun::star::uno::Reference<com::sun::star::text::XTextCursor>& selection);

} // namespace word
