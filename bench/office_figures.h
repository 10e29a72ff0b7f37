#pragma once

#include "ticket_book.h"

#include <QString>

#include <map>
#include <utility>
#include <vector>

// What the bench reads off the offices and the program, and the floors it measures against.
namespace office_figures {

// This process's office children: each one's process id and the text of its status.
std::vector<std::pair<QString, QString>> officeChildren();
// Peak resident memory of this process's office children, in KiB.
long officePeakKiB();
// Processor time each office child has used so far, in seconds, by process id.
std::map<QString, double> officeCpuSeconds();
// The program's own processor time so far, all its threads, in seconds.
double programCpuSeconds();

// The office by itself: its own conversion of the document, run twice in a fresh profile of its
// own, the second timed (the first sets the profile up). -1 when it failed.
double officeFloorSeconds(const QString& document, const QString& folder);
// Our own layer: open the document and save it again.
double layerFloorSeconds(const QString& document, const QString& folder);
// The PDF of the document, as "Save Results" writes it: seconds, and the office's peak memory
// in KiB (read at each progress report, the last one just before the office ends).
std::pair<double, long> pdfSeconds(const QString& document, const QString& folder);
// The ticket numbers of a saved document, as a fresh office reads them from the file.
QString readBack(const QString& document, const TicketBook& book);

} // namespace office_figures
