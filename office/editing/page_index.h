#pragma once

#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/text/XTextCursor.hpp>
#include <com/sun/star/text/XTextRangeCompare.hpp>

#include <vector>

namespace word {

// Where each page of a text begins, kept without asking the office's layout: a page begins at the
// start of the text and at every paragraph with a hard page break. Ticket pages never overflow,
// so these are the pages the layout shows, and finding one costs no layout pass over the pages
// before it. Edits that could move a page start mark the index stale; it is rebuilt on next use.
// Only the last few page starts are held as cursors while pages are appended: the office moves
// every open cursor on each edit, so thousands of them would make each paste slower than the last.
// An older page start that is asked for again rebuilds the index.
class PageIndex
{
public:
    using Cursor = com::sun::star::uno::Reference<com::sun::star::text::XTextCursor>;

    explicit PageIndex(const com::sun::star::uno::Reference<com::sun::star::text::XText>& text);

    void invalidate() { mValid = false; }
    bool valid() const { return mValid; }
    // A page starts at the given position, after every page already known (a paste at the end).
    void appendIfValid(const Cursor& start);

    // The last page, counted from 0.
    int lastPage();
    // The page holding position, counted from 0.
    int pageOf(const com::sun::star::uno::Reference<com::sun::star::text::XTextRange>& position);
    // The start of the page that is offset pages away from the given page, clamped to the first
    // and last page; page becomes that page.
    Cursor pageStartFrom(int& page, int offset);

    // Whether the paragraph at position begins a page by a hard break of its own.
    static bool
    startsPage(const com::sun::star::uno::Reference<com::sun::star::uno::XInterface>& paragraph);

private:
    void rebuild();
    bool held(int page) const { return mStarts[page].is(); }

    com::sun::star::uno::Reference<com::sun::star::text::XText> mText;
    com::sun::star::uno::Reference<com::sun::star::text::XTextRangeCompare> mCompare;
    std::vector<Cursor> mStarts;
    bool mValid = false;
};

} // namespace word
