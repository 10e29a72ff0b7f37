#pragma once

#include <QString>

// What a person chose in the print dialog.
struct PrintRequest
{
    QString printer;
    int copies = 1;
    // 0 and 0 for every page; otherwise the first and last page to print, from 1.
    int fromPage = 0;
    int toPage = 0;
};
