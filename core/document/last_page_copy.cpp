#include "last_page_copy.h"

#include <algorithm>

void LastPageCopy::pasted(const CopiedPage& copy)
{
    forget();
    mParagraphs = copy.paragraphs;
    mEndsEmpty = copy.endsEmpty;
}

void LastPageCopy::changedIn(const QString& style, const QString& replacement)
{
    if (replacement.isEmpty() || !isPlainOrPrivate(replacement)) {
        mPutInKnown = false;
    }
    mPutIn += replacement;
    if (style.isEmpty() || (!mChangedStyle.isEmpty() && mChangedStyle != style)) {
        forget();
    } else {
        mChangedStyle = style;
    }
}

bool LastPageCopy::matchesOnlyIn(const QString& text, const QString& style,
                                 const std::function<QString()>& firstStyle)
{
    // A match can lie outside the style only where the copy's text outside it holds the search
    // text. Decided for plain ASCII only.
    if (!mParagraphs || mParagraphs->empty() || style.isEmpty() ||
        (!mChangedStyle.isEmpty() && mChangedStyle != style) || !isPlainAscii(text)) {
        return false;
    }
    if (!mFirstStyle) {
        mFirstStyle = firstStyle();
    }
    const QString needle = text.toCaseFolded();
    for (std::size_t i = 0; i < mParagraphs->size(); ++i) {
        const CopiedParagraph& paragraph = (*mParagraphs)[i];
        const QString& in = i == 0 ? *mFirstStyle : paragraph.style;
        if (in != style && (!paragraph.plainAscii || paragraph.caseBlindText.contains(needle))) {
            return false;
        }
    }
    return true;
}

namespace {

// Characters that no other character matches in a case-blind search.
bool withoutCase(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.category() == QChar::Other_PrivateUse ||
               (c.unicode() < 0x80 && !c.isLetter() && c.isPrint());
    });
}

} // namespace

std::optional<int> LastPageCopy::matchesAtMost(const QString& text) const
{
    // Replacing other text adds a match only through what it puts in: text sharing a character
    // with the search, or nothing at all, which joins the text on either side.
    if (!mParagraphs || text.isEmpty() || !withoutCase(text) || !mPutInKnown ||
        std::any_of(text.begin(), text.end(), [&](QChar c) { return mPutIn.contains(c); })) {
        return std::nullopt;
    }
    int count = 0;
    for (const CopiedParagraph& paragraph : *mParagraphs) {
        const QString& in = paragraph.caseBlindText;
        if (std::none_of(text.begin(), text.end(), [&](QChar c) { return in.contains(c); })) {
            continue;
        }
        // Where the paragraph holds the search's characters, only plain text is counted exactly.
        if (!paragraph.plainOrPrivate) {
            return std::nullopt;
        }
        for (qsizetype at = in.indexOf(text); at >= 0; at = in.indexOf(text, at + text.size())) {
            ++count;
        }
    }
    return count;
}
