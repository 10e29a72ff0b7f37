#include "save_result.h"

#include "app_error.h"
#include "app_identity.h"
#include "end_signals.h"
#include "error_trap.h"
#include "file_helpers.h"
#include "seams.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSaveFile>

#include <algorithm>

namespace {

constexpr qint64 kChunk = 1 << 20;
// A short PDF is written before a dialog would be worth showing.
constexpr int kProgressAfterMs = 500;

const QString kWordFilter = QStringLiteral("Word Files (*.doc)");
const QString kPdfFilter = QStringLiteral("PDF Files (*.pdf)");

[[noreturn]] void fail(const QString& what, const QString& path, const QString& reason)
{
    throw AppError(QStringLiteral("%1 %2: %3").arg(what, path, reason));
}

// A rename would replace even a read-only file; the user's protection wins. The permission bits
// are checked too because access() answers yes to root.
void requireReplaceable(const QString& target)
{
    const QFileInfo existing(target);
    if (existing.exists() &&
        (!existing.isWritable() || !(existing.permissions() & QFileDevice::WriteOwner))) {
        fail(QStringLiteral("Cannot replace file"), target, QStringLiteral("Permission denied"));
    }
}

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
    requireReplaceable(path);
    QProgressDialog progress(QStringLiteral("Writing the PDF..."), QString(), 0, 100, parent);
    progress.setWindowTitle(QStringLiteral("Saving PDF"));
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setMinimumDuration(kProgressAfterMs);
    progress.setAutoClose(false);
    progress.setValue(0);
    pdfWriter(wordFile, path, [&progress](int percent) {
        // -1: under way, how far unknown; the bar then shows that it is busy.
        progress.setMaximum(percent < 0 ? 0 : 100);
        progress.setValue(std::clamp(percent, 0, 99));
        QCoreApplication::processEvents();
    });
}

} // namespace

void CopyFileReplacing(const QString& source, const QString& target)
{
    // A local copy ends by itself; an ending on a signal lets it finish rather than leave the
    // copy's scratch file beside the person's.
    const EndSignals::Hold finish;
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        fail(QStringLiteral("Cannot read file"), source, in.errorString());
    }
    requireReplaceable(target);
    QSaveFile out(target);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly)) {
        fail(QStringLiteral("Cannot write file"), target, out.errorString());
    }
    while (!in.atEnd()) {
        const QByteArray chunk = in.read(kChunk);
        if (chunk.isEmpty() && in.error() != QFileDevice::NoError) {
            out.cancelWriting();
            fail(QStringLiteral("Cannot read file"), source, in.errorString());
        }
        if (out.write(chunk) != chunk.size()) {
            out.cancelWriting();
            fail(QStringLiteral("Cannot write file"), target, out.errorString());
        }
    }
    if (!out.commit()) {
        fail(QStringLiteral("Cannot write file"), target, out.errorString());
    }
}

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
