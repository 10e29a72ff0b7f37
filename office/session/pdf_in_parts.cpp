#include "pdf_in_parts.h"

#include "early_offices.h"
#include "notice.h"
#include "office_application.h"
#include "office_document.h"
#include "pdf_export.h"
#include "reporting_call.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

#include <atomic>
#include <future>
#include <memory>

namespace word {

namespace {

// Below this the second office's start and reading cost more than half the export saves.
constexpr int kFromPages = 100;
// A file this long is read by a second office beside the first, in case it is exported.
constexpr qint64 kLongDocumentBytes = 1 << 20;
// A file this short holds far fewer pages than are worth dividing: it is not even looked at.
constexpr qint64 kShortDocumentBytes = 256 << 10;
// The share of the pages the first office takes when the second reads the file only once the
// first has: it exports meanwhile.
constexpr double kFirstShare = 0.56;

QString partsMode()
{
    return qEnvironmentVariable("TICKETWRIGHT_PDF_PARTS");
}

// Lets the reading end, with the events running, before the office that reads goes.
void finish(std::unique_ptr<PdfInParts::ReadAhead>& ahead, const ProgressHandler& progress)
{
    if (ahead && ahead->document.valid()) {
        reportingCall(progress, nullptr, [&] { ahead->document.wait(); });
    }
    ahead.reset();
}

EditCommand keepPages(WdGoToDirection which, int page)
{
    EditCommand command = EditCommand::of(EditCommand::Kind::KeepPages);
    command.direction = which;
    command.count = page;
    return command;
}

// Both parts' progress, weighted by their pages, as one.
class PartsProgress
{
public:
    PartsProgress(int firstPages, int pages) : mFirstPages(firstPages), mPages(pages) {}
    void first(int percent) { set(mFirst, percent); }
    void second(int percent) { set(mSecond, percent); }
    const std::atomic<int>& percent() const { return mPercent; }
    // The first part's progress, passed on to handler as both parts' together.
    ProgressHandler forFirst(const ProgressHandler& handler)
    {
        return [this, handler](int percent) {
            first(percent);
            if (handler) {
                handler(mPercent);
            }
        };
    }

private:
    void set(std::atomic<int>& part, int percent)
    {
        if (percent >= 0) {
            part = percent;
            mPercent = static_cast<int>((static_cast<long long>(mFirst) * mFirstPages +
                                         static_cast<long long>(mSecond) * (mPages - mFirstPages)) /
                                        std::max(1, mPages));
        }
    }

    const int mFirstPages;
    const int mPages;
    std::atomic<int> mFirst{0};
    std::atomic<int> mSecond{0};
    std::atomic<int> mPercent{0};
};

} // namespace

PdfInParts::ReadAhead::ReadAhead(std::unique_ptr<OfficeApplication> reader,
                                 std::future<std::shared_ptr<OfficeDocument>> read)
    : office(std::move(reader)), document(std::move(read))
{}

PdfInParts::ReadAhead::~ReadAhead()
{
    if (document.valid()) {
        document.wait();
    }
}

std::unique_ptr<PdfInParts::ReadAhead> PdfInParts::readAhead(const QString& path)
{
    const QString mode = partsMode();
    if (mode == QLatin1String("off") ||
        (mode != QLatin1String("on") && QFileInfo(path).size() < kLongDocumentBytes)) {
        return {};
    }
    // Only an office that is already waiting: starting one would hold up the first's reading.
    std::unique_ptr<OfficeProcess> waiting = early_offices::take();
    if (!waiting) {
        return {};
    }
    std::unique_ptr<OfficeApplication> office;
    try {
        office = std::make_unique<OfficeApplication>(std::move(waiting));
        office->becomeSecondOffice();
    } catch (const std::exception&) {
        return {}; // the export's own attempt says why, if it comes to one
    }
    OfficeApplication* const reader = office.get();
    std::future<std::shared_ptr<OfficeDocument>> document;
    try {
        document = std::async(std::launch::async, [reader, path] {
            auto opened = std::dynamic_pointer_cast<OfficeDocument>(
                reader->documents().Open(path, true, false));
            // While the first office counts the pages to find where to cut, this one finds its
            // own page starts, which its cut then needs no more. Only a saving: the cut finds
            // them itself, and says why it cannot.
            if (opened && opened->editsInsideOffice()) {
                try {
                    reader->watched(
                        [&] { opened->edit(EditCommand::of(EditCommand::Kind::CountPages)); });
                } catch (const Error&) {
                }
            }
            return opened;
        });
    } catch (const std::system_error&) {
        return {};
    }
    return std::make_unique<ReadAhead>(std::move(office), std::move(document));
}

int PdfInParts::secondPartFrom(int pages, bool readAhead)
{
    const double share = readAhead ? 0.5 : kFirstShare;
    return std::clamp(static_cast<int>(pages * share + 0.5), 1, std::max(1, pages - 1));
}

namespace {

// The pages of a document worth exporting in two parts at once, or 0 when it is written whole.
int pagesToDivide(OfficeDocument& document, bool readAhead)
{
    const QString mode = partsMode();
    if (mode == QLatin1String("off") || (mode != QLatin1String("on") && !readAhead &&
                                         QFileInfo(document.path()).size() < kShortDocumentBytes)) {
        return 0;
    }
    const int fromPages = mode == QLatin1String("on") ? 2 : kFromPages;
    try {
        if (!document.divisible()) {
            return 0;
        }
        const int pages = document.app().watched(
            [&] { return document.edit(EditCommand::of(EditCommand::Kind::CountPages)); });
        return pages < fromPages ? 0 : pages;
    } catch (const Error&) {
        return 0;
    }
}

// The office for the second part: the one that read ahead, or one waiting, which reads the file
// itself. Throws when there is none.
std::unique_ptr<PdfInParts::ReadAhead> secondReader(std::unique_ptr<PdfInParts::ReadAhead> ahead)
{
    if (ahead) {
        return ahead;
    }
    auto office = std::make_unique<OfficeApplication>(early_offices::take());
    office->becomeSecondOffice();
    return std::make_unique<PdfInParts::ReadAhead>(std::move(office),
                                                   std::future<std::shared_ptr<OfficeDocument>>());
}

// On the second office's own thread: the pages from from on, as a PDF in file.
void exportSecondPart(OfficeApplication& office, std::future<std::shared_ptr<OfficeDocument>> read,
                      const QString& source, const QString& file, int from, PartsProgress& progress)
{
    const std::shared_ptr<OfficeDocument> opened =
        read.valid() ? read.get()
                     : std::dynamic_pointer_cast<OfficeDocument>(
                           office.documents().Open(source, true, false));
    if (!opened->editsInsideOffice()) {
        throw Error(QStringLiteral("the second office edits over its pipe, too slowly to cut the "
                                   "document"));
    }
    office.watched([&] { opened->edit(keepPages(WdGoToDirection::Next, from)); });
    opened->exportPages(file, [&progress](int percent) { progress.second(percent); });
}

// The two parts and their join, in the first office's scratch folder.
struct PartFiles
{
    QString first;
    QString second;
    QString joined;

    void remove() const
    {
        for (const QString& file : {first, second, joined}) {
            QFile::remove(file);
        }
    }
};

// Says why the PDF is made whole after all.
PdfInParts::Outcome giveUp(int pages, const QString& why, PdfInParts::Outcome outcome)
{
    notice::line(QStringLiteral("the PDF of %1 pages is made by one office, not in two parts at "
                                "once: %2")
                     .arg(pages)
                     .arg(why));
    return outcome;
}

// The pages before from exported by the document's own office while the second office exports
// the rest, each cut to its part, and the parts joined into the PDF at path.
PdfInParts::Outcome exportInParts(OfficeDocument& document, PdfInParts::ReadAhead& second,
                                  int pages, int from, const QString& path,
                                  const FixedFormatOptions& options)
{
    using Outcome = PdfInParts::Outcome;
    PartsProgress progress(from, pages);
    const QDir scratch(document.app().scratchFolder());
    const PartFiles parts{
        scratch.filePath(QStringLiteral("part-1.pdf")),
        QDir(second.office->scratchFolder()).filePath(QStringLiteral("part-2.pdf")),
        scratch.filePath(QStringLiteral("parts.pdf"))};
    std::future<void> later;
    try {
        later =
            std::async(std::launch::async, [&progress, &parts, from, office = second.office.get(),
                                            source = document.path(),
                                            read = std::move(second.document)]() mutable {
                exportSecondPart(*office, std::move(read), source, parts.second, from, progress);
            });
    } catch (const std::system_error& e) {
        return giveUp(
            pages,
            QStringLiteral("no thread for the second part (%1)").arg(QString::fromUtf8(e.what())),
            Outcome::NotTried);
    }
    // The second office's thread must be done before that office goes, however this ends.
    const auto awaitSecond = [&] {
        reportingCall(options.progress, &progress.percent(), [&] { later.wait(); });
    };
    bool divided = false;
    try {
        document.app().watched([&] { document.edit(keepPages(WdGoToDirection::Previous, from)); });
        divided = true;
        document.exportPages(parts.first, progress.forFirst(options.progress));
        progress.first(100);
        awaitSecond();
        later.get();
        // A part that lays out to other pages than its page breaks say (a page too long for one
        // sheet, a blank one put in) is not taken: the parts might not match the whole.
        PdfExport::joinParts({{parts.first, 0, from}, {parts.second, 1, pages - from}},
                             parts.joined, options);
    } catch (const std::exception& e) {
        if (later.valid()) {
            awaitSecond();
        }
        parts.remove();
        return giveUp(pages, QString::fromUtf8(e.what()),
                      divided ? Outcome::FailedAfterDividing : Outcome::NotTried);
    }
    QFile::remove(parts.first);
    QFile::remove(parts.second);
    // Past the parts, a failure is the target's (a full disk, say), and would meet the whole
    // document's export as well.
    const auto removeJoined = qScopeGuard([&] { QFile::remove(parts.joined); });
    PdfExport::place(parts.joined, path);
    return Outcome::Written;
}

} // namespace

PdfInParts::Outcome PdfInParts::write(OfficeDocument& document, std::unique_ptr<ReadAhead> ahead,
                                      const QString& path, const FixedFormatOptions& options)
{
    const int pages = pagesToDivide(document, ahead != nullptr);
    if (pages == 0) {
        finish(ahead, options.progress);
        return Outcome::NotTried;
    }
    const int from = secondPartFrom(pages, ahead != nullptr);
    std::unique_ptr<ReadAhead> second;
    try {
        second = secondReader(std::move(ahead));
    } catch (const std::exception& e) {
        return giveUp(pages,
                      QStringLiteral("no second office (%1)").arg(QString::fromUtf8(e.what())),
                      Outcome::NotTried);
    }
    return exportInParts(document, *second, pages, from, path, options);
}

} // namespace word
