#include "save_doc_as_pdf.h"

#include "app_error.h"
#include "app_identity.h"
#include "word_automation.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <memory>

namespace {

// Opens and exports in an office of its own, which ends with it.
void write(const QString& wordFile, const QString& pdfPath, const QString& eventName,
           const std::function<void(int)>& report)
{
    report(0);
    // The office layer shares a long document's export with a second office; for a file this
    // long it starts now, beside the first, rather than once the document is read.
    constexpr qint64 kLongDocumentBytes = 1 << 20;
    if (QFileInfo(wordFile).size() >= kLongDocumentBytes) {
        word::startInstancesEarly(2);
    }
    // The instance is ended by its destructor when anything below fails.
    std::unique_ptr<word::Application> app = word::Application::create();
    app->setDisplayAlerts(false);
    // Opening tells no progress: the office cannot say how far it has read.
    app->setProgress([&](int) { report(-1); });
    const std::shared_ptr<word::Document> document = app->documents().Open(wordFile, true, false);
    word::FixedFormatOptions options;
    options.title = eventName.trimmed().isEmpty()
                        ? QStringLiteral("Raffle Tickets")
                        : QStringLiteral("Raffle Tickets: %1").arg(eventName.trimmed());
    options.subject = eventName.trimmed();
    options.creator = identity::kProductName;
    options.progress = [&](int percent) { report(std::min(percent, 99)); };
    document->ExportAsFixedFormat(pdfPath, word::WdExportFormat::PDF, options);
    app->quit();
    report(100);
}

} // namespace

void SaveDocAsPDF(const QString& wordFile, const QString& pdfPath, const QString& eventName,
                  const std::function<void(int percent)>& progress,
                  const std::function<bool()>& stopped)
{
    bool ended = false;
    const auto report = [&](int percent) {
        if (progress) {
            progress(percent);
        }
        // An office cannot be asked to stop reading or exporting: it is ended, and the call it was
        // making fails at once. Every office goes, as at the program's end: none is at work for
        // anything else while a PDF is written.
        if (!ended && stopped && stopped()) {
            ended = true;
            word::terminateAllInstances();
        }
    };
    try {
        write(wordFile, pdfPath, eventName, report);
    } catch (...) {
        if (ended) {
            throw AppError(QStringLiteral("Stopped before the PDF was written."));
        }
        throw;
    }
    if (ended) {
        QFile::remove(pdfPath);
        throw AppError(QStringLiteral("Stopped before the PDF was written."));
    }
}
