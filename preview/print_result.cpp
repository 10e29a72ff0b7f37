#include "print_result.h"

#include "app_error.h"
#include "app_identity.h"
#include "error_trap.h"
#include "file_helpers.h"
#include "modal_progress.h"
#include "print_queue.h"
#include "result_claims.h"
#include "seams.h"
#include "temp_folder.h"
#include "working_files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

#include <algorithm>
#include <memory>
#include <optional>

namespace {

// Small enough that Cancel stops the pages within a moment.
constexpr qint64 kPiece = 64 * 1024;

// The print under way, for an end of the program in the middle of it.
struct PrintInProgress
{
    PrintJob* job = nullptr;
    QString pdf;
};

PrintInProgress& inProgress()
{
    static PrintInProgress print;
    return print;
}

// The modal progress of one print, in two halves: the pages made, then sent.
class PrintProgress
{
public:
    PrintProgress(QWidget* parent, const QString& printer)
        : mProgress(parent, QStringLiteral("Printing"), QStringLiteral("Preparing the pages..."),
                    QStringLiteral("Cancel"), 0),
          mPrinter(printer)
    {}

    // percent of the pages made (-1: under way, how far unknown).
    void making(int percent) { mProgress.setValue(std::clamp(percent, 0, 100) / 2); }
    void sending(qint64 sent, qint64 total)
    {
        mProgress.setLabel(QStringLiteral("Sending the pages to %1...").arg(mPrinter));
        mProgress.setValue(50 + static_cast<int>(50 * sent / std::max<qint64>(total, 1)));
    }
    bool cancelled() const { return mProgress.cancelled(); }

private:
    ModalProgress mProgress;
    QString mPrinter;
};

// The pages, sent piece by piece until they are all sent or Cancel is pressed.
void sendPages(PrintJob& job, const QString& pdf, PrintProgress& progress)
{
    QFile in(pdf);
    if (!in.open(QIODevice::ReadOnly)) {
        throw AppError(QStringLiteral("Cannot read file %1: %2").arg(pdf, in.errorString()));
    }
    const qint64 total = in.size();
    qint64 sent = 0;
    while (!in.atEnd() && !progress.cancelled()) {
        const QByteArray piece = in.read(kPiece);
        if (piece.isEmpty()) {
            throw AppError(QStringLiteral("Cannot read file %1: %2").arg(pdf, in.errorString()));
        }
        job.send(piece);
        sent += piece.size();
        progress.sending(sent, total);
    }
}

// The printer and the pages the person chose, or nothing: no printer (said once) or the dialog
// cancelled.
std::optional<PrintRequest> askForPrint(ErrorTrap& trap, QWidget* parent,
                                        const PrintableDocument& document)
{
    QStringList printers;
    trap.step(100, [&] { printers = PrintQueue::current().printers(); });
    if (printers.isEmpty()) {
        trap.step(102, [&] {
            Seams::current().messageBox(
                QStringLiteral("No printer is installed, or the system's printing service is "
                               "not running. Add a printer in the system's printer settings, or "
                               "save the tickets as a PDF with \"Save Results To Word File\" "
                               "and print that."),
                identity::applicationTitle(), MsgStyle::Ok);
        });
        return std::nullopt;
    }
    PrintRequest request;
    bool chosen = false;
    trap.step(104, [&] {
        chosen = Seams::current().printDialog(parent, document.pages, document.paper, request);
        if (request.printer.isEmpty()) {
            request.printer = printers.first();
        }
    });
    if (!chosen) {
        return std::nullopt;
    }
    return request;
}

} // namespace

void PrintResultDocument(QWidget* parent, const PrintableDocument& document,
                         const PdfWriter& pdfWriter)
{
    ErrorTrap trap(
        identity::location(QStringLiteral("Form2"), QStringLiteral("PushButton9_Click")));
    const std::optional<PrintRequest> chosen = askForPrint(trap, parent, document);
    if (!chosen) {
        return;
    }
    const PrintRequest& request = *chosen;
    // The job first: a Cancel while the pages are made cancels a job the printer knows.
    std::unique_ptr<PrintJob> job;
    trap.step(
        106, [&] { job = PrintQueue::current().openJob(request, document.paper, document.title); });
    if (!job) {
        return; // the printer refused; reported once, with its reason
    }
    QTemporaryFile pdf(QDir(temp_folder::path()).filePath(QStringLiteral("print-XXXXXX.pdf")));
    PrintProgress progress(parent, request.printer);
    inProgress() = {job.get(), QString()};
    const bool made = trap.step(108, [&] {
        if (!pdfWriter) {
            throw AppError(QStringLiteral("This copy of the program cannot print."));
        }
        if (!pdf.open()) {
            throw AppError(QStringLiteral("Cannot write file %1: %2")
                               .arg(pdf.fileTemplate(), pdf.errorString()));
        }
        pdf.close();
        inProgress().pdf = pdf.fileName();
        // For an ending that cannot wait for this thread; the file goes with pdf otherwise. A
        // program killed meanwhile leaves it to the next start, which removes what it claimed.
        working_files::add(pdf.fileName());
        result_claims::claim(pdf.fileName());
        try {
            pdfWriter(document.wordFile, pdf.fileName(), [&progress](int percent) {
                progress.making(percent);
                return !progress.cancelled();
            });
        } catch (...) {
            if (!progress.cancelled()) {
                throw;
            }
        }
    });
    const bool sent = made && !progress.cancelled() &&
                      trap.step(110, [&] { sendPages(*job, pdf.fileName(), progress); });
    if (sent && !progress.cancelled()) {
        trap.step(112, [&] { job->finish(); });
    }
    job.reset(); // a job not finished is cancelled
    working_files::forget(pdf.fileName());
    pdf.remove();
    result_claims::release();
    inProgress() = {};
}

void cancelPrinting()
{
    PrintInProgress& print = inProgress();
    if (print.job != nullptr) {
        print.job->cancel();
    }
    if (!print.pdf.isEmpty()) {
        QFile::remove(print.pdf);
    }
    print = {};
}
