#pragma once

#include <QString>
#include <QStringList>

// Reads the "Application Error" reports a test captured, from message boxes or from a program's
// output, where carriage returns and line feeds may have become blanks.
namespace reports {

// "location:label" of each report, in order, for instance
// "Tombolix2021/08/31.Form1.Form_Load:124"; a message that is no report stays whole.
QStringList steps(const QStringList& messages);
// The line label of each report, in order; a message that is no report stays whole.
QStringList labels(const QStringList& messages);
// The messages on one line, for a failing check to show.
QString readable(const QStringList& messages);

} // namespace reports
