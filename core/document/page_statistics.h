#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

// A document's statistics as the office counts them when it saves a Word file.
struct DocumentCounts
{
    qint64 words = 0;
    qint64 characters = 0;
    qint64 paragraphs = 0;

    friend bool operator==(const DocumentCounts&, const DocumentCounts&) = default;
};

// The statistics of a document that grows by the same page pasted at its end, known without the
// office counting every page again as it saves (a count is nearly half of a long save). The
// office counts the document when the third and the fourth page begin; every later page counts
// as the third did, when its edits were the third page's: the same paste, the same backspace,
// the same searches with the same number of matches. A replacement may differ only where both
// are digits, each one character: a run of digits stays one word whatever its length. Anything
// else that changes the text from the third page on leaves the statistics unknown, and the
// office counts them itself.
class PageStatistics
{
public:
    using Count = std::function<std::optional<DocumentCounts>()>;

    // A page pasted at the end, one page long, after a new paragraph when newParagraph; count
    // asks the office for the document before it, when that is needed.
    void pageBegins(const Count& count, bool newParagraph);
    // A backspace at the end of the document.
    void backspace();
    // A search from the insertion point replaced matches of text.
    void replaced(const QString& text, const QString& replacement, int matches);
    // Any other change to the text.
    void changed();

    // The whole document's statistics, when they are known.
    std::optional<DocumentCounts> counts() const;

private:
    struct Step
    {
        enum class Kind
        {
            Paste,
            Backspace,
            Replace
        };
        Kind kind = Kind::Paste;
        bool newParagraph = false;
        QString text;
        QString replacement;
        int matches = 0;
    };

    bool following() const { return !mLost && mPagesBegun >= 2; }
    void record(const Step& step);
    // What the page of steps adds beyond the third page's count, if it repeats it.
    std::optional<qint64> extraCharacters(const std::vector<Step>& steps) const;
    // The document up to the end of the page in progress, if that page repeats the third.
    std::optional<DocumentCounts> throughCurrentPage() const;

    int mPagesBegun = 0;
    bool mLost = false;
    std::optional<DocumentCounts> mFirstTwoPages;
    DocumentCounts mThirdPage;
    std::vector<Step> mThirdPageSteps;
    // The pages before the one in progress, once the third has been counted.
    DocumentCounts mClosedPages;
    std::vector<Step> mCurrent;
};
