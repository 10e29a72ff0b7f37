#pragma once

#include <QString>

class QWidget;

// "Save Results To Word File": asks for a path, asks before replacing an existing file, copies
// the document there and says "Done." in every case. Failures are reported by its own trap.
void SaveResultDocument(QWidget* parent, const QString& wordFile);

// A byte copy of source at target. The copy is written beside the target and renamed over it
// only when complete, so a failure leaves an existing target as it was. A target without write
// permission is refused. Throws AppError with the reason.
void CopyFileReplacing(const QString& source, const QString& target);
