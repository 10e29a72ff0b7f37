#pragma once

#include <QString>
#include <QStringList>

// After a long run the document is checked, because a paste or a renumbering that went wrong
// would otherwise go unnoticed: every ticket number 1..count must stand exactly twice (ticket
// and stub), in reading order.
class TicketNumberCheck
{
public:
    // The number as printed: at least four digits, zero-padded.
    static QString format(int number);
    // An empty text when the document text holds each number exactly twice in order;
    // otherwise a description naming the numbers that are missing, doubled or out of order.
    // Numbers that also stand in the wording (a prize of $1000, say) cannot be told apart from
    // ticket numbers and are not checked.
    static QString verify(const QString& documentText, int count, const QStringList& wording = {});
};
