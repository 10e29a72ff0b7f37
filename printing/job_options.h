#pragma once

#include "book_choices.h"
#include "print_request.h"

#include <QByteArray>
#include <QList>
#include <QPair>

// The options of a job as the printing service takes them, from what the person chose in the
// print dialog and the document's paper. Every choice reaches the job; the paper is always the
// document's own, whatever the dialog's options say.
class JobOptions
{
public:
    using Option = QPair<QByteArray, QByteArray>;

    static QList<Option> of(const PrintRequest& request, Paper paper);
    // The options of the dialog's own that the program sets itself, or that would change the
    // document's paper: they are never handed on.
    static bool ownedByTheProgram(const QString& name);
};
