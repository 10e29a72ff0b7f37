#include "placed_texts.h"

#include "copied_page.h"

bool PlacedTexts::mayTouch(const QString& search) const
{
    const QString needle = search.toCaseFolded();
    for (const QString& text : mTexts) {
        if (!isPlainAscii(text) || !isPlainAscii(search)) {
            return true;
        }
        const QString placed = text.toCaseFolded();
        if (placed.contains(needle) || needle.contains(placed)) {
            return true;
        }
        for (qsizetype n = 1; n < needle.size(); ++n) {
            if (placed.endsWith(QStringView(needle).left(n)) ||
                placed.startsWith(QStringView(needle).right(n))) {
                return true;
            }
        }
    }
    return false;
}
