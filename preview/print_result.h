#pragma once

#include "book_choices.h"
#include "save_result.h"

#include <QString>

class QWidget;

// The generated document as the printer is to get it.
struct PrintableDocument
{
    QString wordFile;
    QString title; // the job's name in the printer's queue
    Paper paper = Paper::Letter;
    int pages = 1;
};

// "Print...": the print dialog, then the document's pages as a PDF through the system's printing
// service, under a progress dialog whose Cancel stops sending pages; the windows repaint
// meanwhile. Without a printer, one message and nothing else; a printer that refuses gives one
// report with its reason. Failures are reported by its own trap; never throws.
void PrintResultDocument(QWidget* parent, const PrintableDocument& document,
                         const PdfWriter& pdfWriter);

// Ends a print under way at once, its job cancelled and its PDF removed: for a program that must
// end now.
void cancelPrinting();
