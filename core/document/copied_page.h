#pragma once

#include <QString>

#include <memory>
#include <vector>

bool isPlainAscii(const QString& text);
// Plain ASCII and private-use characters only: text whose matches a case-blind search finds
// exactly where a plain comparison does.
bool isPlainOrPrivate(const QString& text);

// One paragraph of a copied page, as searches compare it.
struct CopiedParagraph
{
    CopiedParagraph(const QString& style, const QString& text);

    QString style;
    QString caseBlindText;
    bool plainAscii = true;
    bool plainOrPrivate = true;
};

// What a copy took, as far as the document model follows it.
struct CopiedPage
{
    // It begins a page of its own and holds no other page start.
    bool onePage = false;
    // Its last paragraph is known not to begin a page.
    bool endsInPage = false;
    // Its paragraphs, when it is one page of plain paragraphs (a table, say, is not followed).
    std::shared_ptr<const std::vector<CopiedParagraph>> paragraphs;
    // Its last paragraph is empty: a backspace at its end then only joins paragraphs.
    bool endsEmpty = false;

    // Whether a copy is one page, told paragraph by paragraph: it starts at the start of a
    // paragraph that begins a page, and no later paragraph begins one. The office and the
    // scripted office of the tests both decide it here.
    class OnePage
    {
    public:
        explicit OnePage(bool startsAtParagraph) : mHolds(startsAtParagraph) {}
        void paragraph(bool beginsPage)
        {
            mHolds = mHolds && beginsPage == mFirst;
            mFirst = false;
        }
        // Once broken, no later paragraph makes it hold again.
        bool broken() const { return !mHolds; }
        bool holds() const { return mHolds && !mFirst; }

    private:
        bool mHolds;
        bool mFirst = true;
    };

    // The copy of count paragraphs, whose texts are given when they are all plain paragraphs;
    // onePage says whether they make one page.
    static CopiedPage of(std::shared_ptr<const std::vector<CopiedParagraph>> paragraphs, int count,
                         bool onePage);
};
