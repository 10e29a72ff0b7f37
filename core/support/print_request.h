#pragma once

#include <QList>
#include <QPair>
#include <QString>

// What a person chose in the print dialog, as the printing service names it.
struct PrintRequest
{
    enum class Sides
    {
        OneSided,
        LongEdge, // turned like a book's pages
        ShortEdge // turned like a calendar's
    };

    QString printer;
    int copies = 1;
    // The pages to print, as "1-2,5"; empty for every page.
    QString pages;
    Sides sides = Sides::OneSided;
    // With more than one copy: each copy whole in turn, rather than each page's copies together.
    bool collate = true;
    bool grey = false;
    // The last page first.
    bool reverse = false;
    // The dialog's other job choices, by the service's own names and values (pages per side,
    // odd or even pages, banner pages, priority, ...), handed on as they are.
    QList<QPair<QString, QString>> options;
};
