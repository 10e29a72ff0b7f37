#include "ticket_numbering.h"

#include "ticket_book.h"
#include "ticket_number_check.h"
#include "word_automation.h"

TicketNumbering TicketNumbering::forTemplate(int numberParagraphs)
{
    return TicketNumbering(numberParagraphs == 0);
}

QString TicketNumbering::style() const
{
    return mByText ? QString() : ticket_numbers::kStyle;
}

QString TicketNumbering::standIn(int j)
{
    return QString(4, QChar(0xE000 + j));
}

QString TicketNumbering::problem(word::Range& range, const TicketBook& book,
                                 const QStringList& placedWording) const
{
    if (mByText) {
        return ticket_numbers::verifyText(range.Text(), book, placedWording);
    }
    // Reading the whole text at once is quick; only a document that does not plainly hold every
    // number has its number paragraphs read one by one, to say what is wrong.
    const bool inOrder = ticket_numbers::plainlyInOrder(
        range.Text(), range.paragraphCount(ticket_numbers::kStyle), book);
    return inOrder ? QString()
                   : ticket_numbers::verify(range.paragraphTexts(ticket_numbers::kStyle), book);
}
