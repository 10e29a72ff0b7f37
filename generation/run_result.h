#pragma once

#include "book_choices.h"
#include "ticket_book.h"
#include "ticket_number_check.h"

#include <QImage>
#include <QString>

// What a finished run made, handed to whoever shows, saves, prints or writes it: they read this,
// never the fields again, which may be edited while the run goes on.
struct RunResult
{
    // The numbers and pages the document holds.
    TicketBook book{1, ticket_numbers::kTicketsPerPage};
    // Field 1 as the run placed it: the name of a print job and of a PDF.
    QString eventName;
    Paper paper = Paper::Letter;
    // The document in the temporary folder, until whoever takes it removes it.
    QString wordFile;
    // The first page, only when the host asked for one.
    QImage picture;
};
