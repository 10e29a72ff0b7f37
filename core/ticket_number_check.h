#pragma once

#include <QString>
#include <QStringList>

// After a run the document is checked, because a paste or a renumbering that went wrong would
// otherwise go unnoticed: the ticket numbers, each in its own paragraph of the ticket-number
// style, must read 1, 1, 2, 2, ..., count, count (every ticket, then its stub).
class TicketNumberCheck
{
public:
    // The paragraph style of the template's ticket numbers; renumbering looks only there.
    static inline const QString kStyle = QStringLiteral("Ticket No.");

    // The number as printed: at least four digits, zero-padded.
    static QString format(int number);
    // An empty text when the numbers are as expected, or when there are none at all (a template
    // without ticket numbers has nothing to check); otherwise a description naming the numbers
    // that are missing, doubled, damaged or out of order.
    static QString verify(const QStringList& numbers, int count);
};
