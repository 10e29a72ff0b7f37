#pragma once

#include <QString>

#include <functional>

class QWidget;

// Writes the generated document wordFile as a PDF at pdfPath, whole or not at all, telling
// progress how far it has come (0 to 100, or -1 while it cannot tell); throws with the reason.
// progress answers whether to go on: false stops the writer within moments, writing nothing, and
// it throws.
using PdfWriter = std::function<void(const QString& wordFile, const QString& pdfPath,
                                     const std::function<bool(int percent)>& progress)>;

// "Save Results To Word File": asks for a path, asks before replacing an existing file, copies
// the document there, or writes it as a PDF when the name ends in ".pdf" or the PDF filter was
// chosen, and says "Done." in every case. A PDF shows its progress in a modal dialog, during which
// the windows repaint. Failures are reported by its own trap.
void SaveResultDocument(QWidget* parent, const QString& wordFile, const PdfWriter& pdfWriter = {});
