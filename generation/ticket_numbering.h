#pragma once

#include <QString>
#include <QStringList>

class TicketBook;

namespace word {
class Range;
}

// How a run finds a page's ticket numbers. The template's numbers stand in paragraphs of the
// ticket-number style, and renumbering looks only there. A template of the person's own may
// number its tickets in plain paragraphs: its numbers are then found by their text.
// Either way the page is copied with stand-ins for its numbers, which no wording and no number
// holds: a search for 0004 would also find it inside 10004, a number a page or a book may hold.
class TicketNumbering
{
public:
    // From the number of ticket-number paragraphs the opened template holds.
    static TicketNumbering forTemplate(int numberParagraphs);

    bool byText() const { return mByText; }
    // The style a renumbering search is limited to; empty when the numbers are found by text.
    QString style() const;
    // What the copied page holds in place of ticket j (1 to 5) of its page: private-use
    // characters, four wide like a number.
    static QString standIn(int j);

    // What is wrong with the document's numbers, the book's each twice in its order, or an empty
    // text. The wording is what the run placed, as typed: numbers inside it are not ticket
    // numbers.
    QString problem(word::Range& range, const TicketBook& book,
                    const QStringList& placedWording) const;

private:
    explicit TicketNumbering(bool byText) : mByText(byText) {}

    bool mByText;
};
