#pragma once

#include "print_request.h"

class QPrinter;

// The print dialog's answer, read from the printer object it set; and the same set back into a
// printer object, so that the next dialog starts from the last print's choices.
class PrintChoices
{
public:
    static PrintRequest read(QPrinter& printer);
    // Every choice but the pages, which belong to one document.
    static void apply(const PrintRequest& request, QPrinter& printer);
};
