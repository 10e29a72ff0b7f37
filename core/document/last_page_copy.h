#pragma once

#include "copied_page.h"

#include <QString>

#include <functional>
#include <optional>

// A last page that is a pasted copy, changed since only in paragraphs of one style. From an
// insertion point in it, whether a search limited to a style can match outside that style is
// decided from the copy, without asking the office about each match.
class LastPageCopy
{
public:
    void pasted(const CopiedPage& copy);
    void forget() { *this = LastPageCopy(); }
    bool known() const { return mParagraphs != nullptr; }
    bool endsEmpty() const { return mEndsEmpty; }
    // A backspace at its end took its empty last paragraph.
    void lastParagraphJoined() { mEndsEmpty = false; }
    // Something in style changed in it, to replacement; a change in another style than the
    // last ends what is known.
    void changedIn(const QString& style, const QString& replacement);

    // Whether every match of text lies in style. firstStyle gives the style the paste gave the
    // first paragraph; it is asked once.
    bool matchesOnlyIn(const QString& text, const QString& style,
                       const std::function<QString()>& firstStyle);

    // At most how many matches a search for text can find in it, whatever its style, when that is
    // decided: text without case (private-use characters, digits, signs) that nothing put in
    // since the paste holds.
    std::optional<int> matchesAtMost(const QString& text) const;

private:
    std::shared_ptr<const std::vector<CopiedParagraph>> mParagraphs;
    QString mChangedStyle;
    // What replacements put in since the paste; unknown once one could have joined or made a
    // match of its own (empty, or beyond plain and private-use characters).
    QString mPutIn;
    bool mPutInKnown = true;
    bool mEndsEmpty = false;
    std::optional<QString> mFirstStyle;
};
