#pragma once

#include <QString>

#include <memory>
#include <vector>

bool isPlainAscii(const QString& text);

// One paragraph of a copied page, as searches compare it.
struct CopiedParagraph
{
    CopiedParagraph(const QString& style, const QString& text);

    QString style;
    QString caseBlindText;
    bool plainAscii = true;
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

    // The copy of count paragraphs, whose texts are given when they are all plain paragraphs;
    // onePage says whether they make one page.
    static CopiedPage of(std::shared_ptr<const std::vector<CopiedParagraph>> paragraphs, int count,
                         bool onePage);
};
