#include "page_statistics.h"

#include <algorithm>

namespace {

bool isDigits(const QString& text)
{
    return !text.isEmpty() &&
           std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

DocumentCounts operator-(const DocumentCounts& a, const DocumentCounts& b)
{
    return {a.words - b.words, a.characters - b.characters, a.paragraphs - b.paragraphs};
}

DocumentCounts operator+(const DocumentCounts& a, const DocumentCounts& b)
{
    return {a.words + b.words, a.characters + b.characters, a.paragraphs + b.paragraphs};
}

} // namespace

void PageStatistics::pageBegins(const Count& count, bool newParagraph)
{
    if (mLost) {
        return;
    }
    ++mPagesBegun;
    if (mPagesBegun == 2 || mPagesBegun == 3) {
        const std::optional<DocumentCounts> counted = count ? count() : std::nullopt;
        if (!counted) {
            mLost = true;
            return;
        }
        if (mPagesBegun == 2) {
            mFirstTwoPages = counted;
        } else {
            mThirdPage = *counted - *mFirstTwoPages;
            mThirdPageSteps = std::move(mCurrent);
            mClosedPages = *counted;
        }
    } else if (mPagesBegun > 3) {
        const std::optional<DocumentCounts> closed = throughCurrentPage();
        if (!closed) {
            mLost = true;
            return;
        }
        mClosedPages = *closed;
    }
    mCurrent.clear();
    record({Step::Kind::Paste, newParagraph, {}, {}, 0});
}

void PageStatistics::backspace()
{
    record({Step::Kind::Backspace, false, {}, {}, 0});
}

void PageStatistics::replaced(const QString& text, const QString& replacement, int matches)
{
    if (matches > 0) {
        record({Step::Kind::Replace, false, text, replacement, matches});
    }
}

void PageStatistics::changed()
{
    if (following()) {
        mLost = true;
    }
}

void PageStatistics::record(const Step& step)
{
    if (following()) {
        mCurrent.push_back(step);
    }
}

std::optional<qint64> PageStatistics::extraCharacters(const std::vector<Step>& steps) const
{
    if (steps.size() != mThirdPageSteps.size()) {
        return std::nullopt;
    }
    qint64 extra = 0;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        const Step& third = mThirdPageSteps[i];
        if (step.kind != third.kind || step.newParagraph != third.newParagraph ||
            step.text != third.text || step.matches != third.matches) {
            return std::nullopt;
        }
        if (step.replacement == third.replacement) {
            continue;
        }
        if (!isDigits(step.replacement) || !isDigits(third.replacement)) {
            return std::nullopt;
        }
        extra += qint64(step.matches) * (step.replacement.size() - third.replacement.size());
    }
    return extra;
}

std::optional<DocumentCounts> PageStatistics::throughCurrentPage() const
{
    const std::optional<qint64> extra = extraCharacters(mCurrent);
    if (!extra) {
        return std::nullopt;
    }
    return mClosedPages + mThirdPage + DocumentCounts{0, *extra, 0};
}

std::optional<DocumentCounts> PageStatistics::counts() const
{
    if (mLost || mPagesBegun < 3) {
        return std::nullopt;
    }
    // The page in progress must repeat the third as well.
    return throughCurrentPage();
}
