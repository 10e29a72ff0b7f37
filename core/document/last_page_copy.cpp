#include "last_page_copy.h"

void LastPageCopy::pasted(const CopiedPage& copy)
{
    forget();
    mParagraphs = copy.paragraphs;
    mEndsEmpty = copy.endsEmpty;
}

void LastPageCopy::changedIn(const QString& style)
{
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
