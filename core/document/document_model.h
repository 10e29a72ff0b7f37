#pragma once

#include "copied_page.h"
#include "last_page_copy.h"
#include "placed_texts.h"

#include <QString>

#include <functional>
#include <optional>

// What the office layer knows about an open document without asking the office: the texts
// filling placed, where the insertion point is, and the last page when it is a fresh copy. It
// changes only through the named events below, each of which says what it makes unknown; the
// questions at the end turn that knowledge into decisions that save calls to the office. The
// real office layer and the scripted office both run on it, over their own kind of text.
class DocumentModel
{
public:
    // Events, in the words of the editing that causes them.
    // The insertion point moved somewhere not followed (selecting all, a move that may fail).
    void moved();
    void movedToEnd();
    // To the start of page (counted from 0); lastPage says whether it is the last one.
    void movedToPage(int page, bool lastPage);
    // A copy went in at the insertion point, which was at the end when atEnd is set (and is
    // there again now).
    void pasted(bool atEnd, const CopiedPage& copy);
    // The character before the insertion point went, at the end of the document when atEnd is
    // set. Returns whether the last paragraph was then known not to begin a page.
    bool typedBackspace(bool atEnd);
    // A replace-all begins, from the insertion point on or over the whole document.
    void replaceBegins(bool fromInsertionPoint);
    // A replace-all over the whole document put replacement in one place.
    void placed(const QString& replacement);
    // A replace-all from the insertion point replaced something with replacement, in paragraphs
    // of style (any paragraph when style is empty).
    void replacedFromInsertionPoint(const QString& style, const QString& replacement);
    // The office laid out the pages again: what was known of the last paragraph is not.
    void laidOut() { mEndsInPage = false; }

    // Knowledge.
    bool atEnd() const { return mAtEnd; }
    // The page the insertion point starts, when it was put there.
    std::optional<int> page() const { return mPage; }
    // The document's last paragraph does not begin a page (it ends a page pasted at the end).
    bool endsInPage() const { return mEndsInPage; }
    const PlacedTexts& placedTexts() const { return mPlaced; }

    // Decisions.
    // Whether a replace-all over the whole document must check each match against placed text.
    bool guardsEverywhere(const QString& search) const { return mPlaced.mayTouch(search); }
    // The same from the insertion point; placedTextAfter asks the office whether any placed text
    // lies after the insertion point, once, and the answer holds while the point only moves on.
    bool guardsFromInsertionPoint(const QString& search,
                                  const std::function<bool()>& placedTextAfter);
    // Whether every match of text from the insertion point is known to lie in paragraphs of
    // style, so that no match needs a look at its paragraph. firstStyle asks the office the
    // style of the last page's first paragraph, once.
    bool matchesOnlyInStyle(const QString& text, const QString& style,
                            const std::function<QString()>& firstStyle);
    // At most how many matches a search for text from the insertion point can find, when that
    // is known: the search then ends at the last one, without a search that finds nothing.
    std::optional<int> matchesAtMost(const QString& text) const;

private:
    void forgetWhereTheInsertionPointIs();

    PlacedTexts mPlaced;
    LastPageCopy mLastPage;
    bool mAtEnd = false;
    std::optional<int> mPage;
    bool mNoPlacedTextAfter = false;
    bool mInLastPage = false;
    bool mEndsInPage = false;
};
