#pragma once

#include <QString>
#include <QStringList>

class TicketBook;

// After a run the document is checked, because a paste or a renumbering that went wrong would
// otherwise go unnoticed: the ticket numbers, each in its own paragraph of the ticket-number
// style, must read the book's numbers in the order its pages hold them, each twice (every
// ticket, then its stub).
namespace ticket_numbers {

// The paragraph style of the template's ticket numbers; renumbering looks only there.
inline const QString kStyle = QStringLiteral("Ticket No.");
// Five tickets to a page, each number standing twice: on the ticket and on its stub.
constexpr int kTicketsPerPage = 5;

// The number as printed: at least four digits, zero-padded.
QString format(int number);
// An empty text when the numbers are as expected, or when there are none at all (a template
// without ticket numbers has nothing to check); otherwise a description naming the numbers
// that are missing, doubled, damaged or out of order.
QString verify(const QStringList& numbers, const TicketBook& book);
// For a template without the ticket-number style, the numbers as the text alone shows them:
// every run of digits that reads as one of the book's numbers as printed. Each must stand exactly
// twice,
// in whatever order the template sets them. An empty text when they do; otherwise a
// description, which for a text without any ticket number says that the template holds none.
// The wording is what the run placed, as typed: numbers inside it are not ticket numbers.
QString verifyText(const QString& text, const TicketBook& book, const QStringList& wording = {});
// A quick look that needs no styles, for documents of thousands of tickets: true when there are
// exactly two ticket-number paragraphs per ticket and the paragraphs of text that hold nothing but
// one of this run's numbers read the book's numbers in order, each twice. Anything else,
// including wording that happens to be such a number, is left to verify.
bool plainlyInOrder(const QString& text, int numberParagraphs, const TicketBook& book);

} // namespace ticket_numbers
