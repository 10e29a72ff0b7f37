#pragma once

#include <QString>
#include <QStringList>

namespace word {
class Range;
}

// How a run finds a page's ticket numbers. The template's numbers stand in paragraphs of the
// ticket-number style, and renumbering looks only there. A template of the person's own may
// number its tickets in plain paragraphs: its numbers are then found by their text, and while the
// wording is placed and the page copied they are stand-ins that no wording holds.
class TicketNumbering
{
public:
    // From the number of ticket-number paragraphs the opened template holds.
    static TicketNumbering forTemplate(int numberParagraphs);

    bool byText() const { return mByText; }
    // What the copied page holds in place of ticket j (1 to 5) of its page.
    QString onCopiedPage(int j) const;
    // The style a renumbering search is limited to; empty when the numbers are found by text.
    QString style() const;
    // Private-use characters, four wide like a number, which no wording holds: so renumbering by
    // text finds the numbers and never wording, on the copies too.
    static QString standIn(int j);

    // What is wrong with the document's numbers, 1 to count each twice, or an empty text. The
    // wording is what the run placed, as typed: numbers inside it are not ticket numbers.
    QString problem(word::Range& range, int count, const QStringList& placedWording) const;

private:
    explicit TicketNumbering(bool byText) : mByText(byText) {}

    bool mByText;
};
