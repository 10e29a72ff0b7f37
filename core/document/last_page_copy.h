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
    // Something in style changed in it; a change in another style than the last ends what is known.
    void changedIn(const QString& style);

    // Whether every match of text lies in style. firstStyle gives the style the paste gave the
    // first paragraph; it is asked once.
    bool matchesOnlyIn(const QString& text, const QString& style,
                       const std::function<QString()>& firstStyle);

private:
    std::shared_ptr<const std::vector<CopiedParagraph>> mParagraphs;
    QString mChangedStyle;
    bool mEndsEmpty = false;
    std::optional<QString> mFirstStyle;
};
