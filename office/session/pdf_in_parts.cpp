#include "pdf_in_parts.h"

#include "early_offices.h"
#include "notice.h"
#include "office_application.h"
#include "office_document.h"
#include "pdf_export.h"
#include "reporting_call.h"

#include <QDir>

#include <atomic>
#include <future>
#include <memory>

namespace word {

namespace {

// Below this the second office's start and reading cost more than half the export saves.
constexpr int kFromPages = 100;
// The share of the pages the first office takes: while the second reads the file, it exports.
constexpr double kFirstShare = 0.56;

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

private:
    void set(std::atomic<int>& part, int percent)
    {
        if (percent >= 0) {
            part = percent;
            mPercent = static_cast<int>(
                (static_cast<long long>(mFirst) * mFirstPages +
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

int PdfInParts::secondPartFrom(int pages)
{
    return std::clamp(static_cast<int>(pages * kFirstShare + 0.5), 1, std::max(1, pages - 1));
}

PdfInParts::Outcome PdfInParts::write(OfficeDocument& document, const QString& path,
                                      const FixedFormatOptions& options)
{
    const QString mode = qEnvironmentVariable("TICKETWRIGHT_PDF_PARTS");
    if (mode == QLatin1String("off")) {
        return Outcome::NotTried;
    }
    const int fromPages = mode == QLatin1String("on") ? 2 : kFromPages;
    int pages = 0;
    try {
        if (!document.divisible()) {
            return Outcome::NotTried;
        }
        pages = document.app().watched(
            [&] { return document.edit(EditCommand::of(EditCommand::Kind::CountPages)); });
    } catch (const Error&) {
        return Outcome::NotTried;
    }
    if (pages < fromPages) {
        return Outcome::NotTried;
    }
    const int from = secondPartFrom(pages);
    const auto giveUp = [&](const QString& why, Outcome outcome) {
        notice::line(QStringLiteral("the PDF of %1 pages is made by one office, not in two parts "
                                    "at once: %2")
                         .arg(pages)
                         .arg(why));
        return outcome;
    };

    std::unique_ptr<OfficeApplication> second;
    try {
        second = std::make_unique<OfficeApplication>(early_offices::take());
    } catch (const std::exception& e) {
        return giveUp(QStringLiteral("no second office (%1)").arg(QString::fromUtf8(e.what())),
                      Outcome::NotTried);
    }
    PartsProgress progress(from, pages);
    const QString source = document.path();
    const QString secondFile = QDir(second->scratchFolder()).filePath(QStringLiteral("part-2.pdf"));
    OfficeApplication* const other = second.get();
    const auto secondPart = [other, source, secondFile, from, &progress] {
        const auto opened = std::dynamic_pointer_cast<OfficeDocument>(
            other->documents().Open(source, true, false));
        if (!opened->editsInsideOffice()) {
            throw Error(QStringLiteral("the second office edits over its pipe, too slowly to cut "
                                       "the document"));
        }
        other->watched([&] { opened->edit(keepPages(WdGoToDirection::Next, from)); });
        opened->exportPages(secondFile, [&progress](int percent) { progress.second(percent); });
    };
    std::future<void> later;
    try {
        later = std::async(std::launch::async, secondPart);
    } catch (const std::system_error& e) {
        return giveUp(QStringLiteral("no thread for the second part (%1)")
                          .arg(QString::fromUtf8(e.what())),
                      Outcome::NotTried);
    }
    // The second office's thread must be done before that office goes, however this ends.
    const auto awaitSecond = [&] {
        reportingCall(options.progress, &progress.percent(), [&] { later.wait(); });
    };

    const QDir scratch(document.app().scratchFolder());
    const QString firstFile = scratch.filePath(QStringLiteral("part-1.pdf"));
    const QString joined = scratch.filePath(QStringLiteral("parts.pdf"));
    const auto removeParts = [&] {
        QFile::remove(firstFile);
        QFile::remove(secondFile);
        QFile::remove(joined);
    };
    bool divided = false;
    try {
        document.app().watched([&] {
            document.edit(keepPages(WdGoToDirection::Previous, from));
        });
        divided = true;
        document.exportPages(firstFile, [&](int percent) {
            progress.first(percent);
            if (options.progress) {
                options.progress(progress.percent());
            }
        });
        progress.first(100);
        awaitSecond();
        later.get();
        PdfExport::joinParts({{firstFile, 0}, {secondFile, 1}}, joined, options);
    } catch (const std::exception& e) {
        if (later.valid()) {
            awaitSecond();
        }
        removeParts();
        return giveUp(QString::fromUtf8(e.what()),
                      divided ? Outcome::FailedAfterDividing : Outcome::NotTried);
    }
    QFile::remove(firstFile);
    QFile::remove(secondFile);
    // Past the parts, a failure is the target's (a full disk, say), and would meet the whole
    // document's export as well.
    try {
        PdfExport::place(joined, path);
    } catch (...) {
        QFile::remove(joined);
        throw;
    }
    QFile::remove(joined);
    return Outcome::Written;
}

} // namespace word
