#include "copied_page.h"

#include <algorithm>

bool isPlainAscii(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

bool isPlainOrPrivate(const QString& text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return c.unicode() < 0x80 || c.category() == QChar::Other_PrivateUse;
    });
}

CopiedParagraph::CopiedParagraph(const QString& style, const QString& text)
    : style(style), caseBlindText(text.toCaseFolded()), plainAscii(isPlainAscii(text)),
      plainOrPrivate(isPlainOrPrivate(text))
{}

CopiedPage CopiedPage::of(std::shared_ptr<const std::vector<CopiedParagraph>> paragraphs, int count,
                          bool onePage)
{
    CopiedPage copy;
    copy.onePage = onePage;
    // In a one-page copy only the first paragraph begins a page.
    copy.endsInPage = onePage && count > 1;
    if (onePage && paragraphs && !paragraphs->empty()) {
        copy.endsEmpty = paragraphs->back().caseBlindText.isEmpty();
        copy.paragraphs = std::move(paragraphs);
    }
    return copy;
}
