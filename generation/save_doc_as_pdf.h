#pragma once

#include <QString>

#include <functional>

// Has an office of its own open the generated document and write it as a PDF at pdfPath, whole
// or not at all; the office ends with it, whatever happens. The PDF's information names the
// event and the program. progress hears how far it has come, 0 to 100, or -1 while that cannot be
// told (the office reading the document), at least every few tenths of a second; it may let the
// program's events run. Throws with the reason; the caller reports it. Once stopped answers true
// (asked after each report), the offices are ended at once, nothing is written, and it throws.
void SaveDocAsPDF(const QString& wordFile, const QString& pdfPath, const QString& eventName,
                  const std::function<void(int percent)>& progress,
                  const std::function<bool()>& stopped = {});
