#include "save_result.h"

#include "app_error.h"
#include "app_identity.h"
#include "error_trap.h"
#include "file_helpers.h"
#include "modal_progress.h"
#include "seams.h"

#include <algorithm>

namespace {

// A short PDF is written before a dialog would be worth showing.
constexpr int kProgressAfterMs = 500;

const QString kWordFilter = QStringLiteral("Word Files (*.doc)");
const QString kPdfFilter = QStringLiteral("PDF Files (*.pdf)");

// Whether the dialog's answer asks for a PDF.
bool wantsPdf(const QString& path, const QString& selectedFilter)
{
    return selectedFilter == kPdfFilter ||
           path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive);
}

// The PDF is written beside the target by the office's side and renamed into place; meanwhile a
// modal dialog shows how far it has come, and the windows repaint at each step.
void writePdf(QWidget* parent, const QString& wordFile, const QString& path,
              const PdfWriter& pdfWriter)
{
    if (!pdfWriter) {
        throw AppError(QStringLiteral("This copy of the program cannot write PDF files."));
    }
    RequireReplaceable(path);
    ModalProgress progress(parent, QStringLiteral("Saving PDF"),
                           QStringLiteral("Writing the PDF..."), QString(), kProgressAfterMs);
    // The bar stays short of full until the PDF has its name.
    pdfWriter(wordFile, path, [&progress](int percent) {
        progress.setValue(percent < 0 ? -1 : std::min(percent, 99));
        return true;
    });
}

} // namespace

void SaveResultDocument(QWidget* parent, const QString& wordFile, const PdfWriter& pdfWriter)
{
    ErrorTrap trap(
        identity::location(QStringLiteral("Form2"), QStringLiteral("PushButton6_Click")));
    const QString title = identity::applicationTitle();
    QString path;
    QString filter = kWordFilter;
    trap.step(100, [&] {
        path =
            Seams::current().saveFileName(parent, QStringLiteral("Save File"),
                                          kWordFilter + QStringLiteral(";;") + kPdfFilter, &filter);
    });
    bool write = false;
    trap.step(102, [&] { write = !path.isEmpty(); });
    if (write) {
        trap.step(104, [&] {
            if (FileExists(path)) {
                const QString question = QStringLiteral("Are you sure you wish to overwrite ") +
                                         path + QStringLiteral(" ?");
                write =
                    Seams::current().messageBox(question, title, MsgStyle::YesNo) == MsgAnswer::Yes;
            }
        });
    }
    if (write) {
        // The old file stays until the new one is complete, then is replaced in one rename.
        trap.step(106, [&] {
            if (wantsPdf(path, filter)) {
                writePdf(parent, wordFile, path, pdfWriter);
            } else {
                CopyFileReplacing(wordFile, path);
            }
        });
    }
    trap.step(108,
              [&] { Seams::current().messageBox(QStringLiteral("Done."), title, MsgStyle::Ok); });
}
