#pragma once

#include "word_automation.h"

namespace word {

class OfficeDocument;

// A long document's PDF made in two parts at once: this document's office exports the first
// pages while a second office reads the same file and exports the rest, each on a processor of
// its own, and the parts are joined. The office's export takes far longer than its reading, so
// the two together finish well before one alone would. Each part is cut at a hard page break,
// after which the pages lay out as they do in the whole, and keeps its own art page.
//
// Only a saving: when it cannot be done (a short document, no second office, a failure in
// either part) one line on standard error says why and the caller exports the whole document
// itself. TICKETWRIGHT_PDF_PARTS=off never divides; =on divides any document of two pages.
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

    static Outcome write(OfficeDocument& document, const QString& path,
                         const FixedFormatOptions& options);

    // The first page (counted from 0) of the second part, for a document of pages: the second
    // office reads the file first, so the first part is the longer.
    static int secondPartFrom(int pages);
};

} // namespace word
