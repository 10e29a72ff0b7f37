#pragma once

#include "book_choices.h"
#include "print_job.h"
#include "print_request.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

// The system's printing service as the print flow reaches it: its printers, and a new job on
// one of them. The product's answers are the service's own (CUPS, or the server CUPS_SERVER
// names); a test puts its own in their place to see what the flow asks for.
struct PrintQueue
{
    // The names of the printers, the default one first; empty when none is installed or the
    // service does not answer.
    std::function<QStringList()> printers;
    // A job for the request, on the document's paper, under that title; throws AppError with the
    // printer's reason when it refuses.
    std::function<std::unique_ptr<PrintJob>(const PrintRequest& request, Paper paper,
                                            const QString& title)>
        openJob;

    // The service's own until a test replaces them.
    static PrintQueue& current();
};
