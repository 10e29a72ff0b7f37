#pragma once

#include "word_automation.h"

#include <future>
#include <memory>

namespace word {

class OfficeApplication;
class OfficeDocument;

// A long document's PDF made in two parts at once: this document's office exports the first
// pages while a second office reads the same file and exports the rest, each on a processor of
// its own, and the parts are joined. The office's export takes far longer than its reading, so
// the two together finish well before one alone would. Each part is cut at a hard page break,
// after which the pages lay out as they do in the whole, and keeps its own art page.
//
// Only a saving: when it cannot be done the caller exports the whole document itself. A short
// document, or one that cannot be divided, goes whole without a word; no second office, or a
// failure in either part, gets one line on standard error that says why. TICKETWRIGHT_PDF_PARTS=off never divides; =on divides any document of two pages.
class PdfInParts
{
public:
    enum class Outcome
    {
        Written,
        NotTried,
        // The document lost the later pages on the way: the whole must be read again.
        FailedAfterDividing
    };

    // The same file read by a second office while the first reads it, begun when a long
    // document is opened invisible (for an export, the only reason to open one so). Ending it
    // waits for the reading.
    class ReadAhead
    {
    public:
        ReadAhead(std::unique_ptr<OfficeApplication> office,
                  std::future<std::shared_ptr<OfficeDocument>> document);
        ~ReadAhead();
        ReadAhead(const ReadAhead&) = delete;
        ReadAhead& operator=(const ReadAhead&) = delete;

        std::unique_ptr<OfficeApplication> office;
        std::future<std::shared_ptr<OfficeDocument>> document;
    };
    // Begins reading path in an office that is already waiting, when a division of its export
    // may come; nothing otherwise.
    static std::unique_ptr<ReadAhead> readAhead(const QString& path);

    // Writes the PDF with the document's read-ahead, if it has one, else a second office that
    // reads the file once this one has.
    static Outcome write(OfficeDocument& document, std::unique_ptr<ReadAhead> ahead,
                         const QString& path, const FixedFormatOptions& options);

    // The first page (counted from 0) of the second part, for a document of pages: when the
    // second office reads the file only then, the first part is the longer.
    static int secondPartFrom(int pages, bool readAhead);
};

} // namespace word
