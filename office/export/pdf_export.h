#pragma once

#include "pdf_underlay.h"
#include "word_automation.h"

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/text/XText.hpp>

namespace word {

// Writes a text document as a PDF without the cost of its header art growing with the square of
// the pages. (The office's own export still grows faster than the pages: 1.7 to 2.6 times the
// time for twice the pages in run_bench's sittings.)
//
// Art drawn in a page style's header is attached again to every laid-out page, and the office's
// PDF export then grows with the square of the pages (ten times the pages took 76 times as long).
// So the art is exported once, on a page of its own in front that has the art and nothing else;
// every other page gets a plain copy of the page style, the same in all but the art, so its text
// and borders sit where they did. The art page is then laid under every other page of the file and
// left out: each page draws the same art, stored once. The document is changed for that; it is
// meant for a document that is only exported and then closed unsaved.
class PdfExport
{
public:
    // scratchFolder holds the office's intermediate files; it is the caller's to remove.
    PdfExport(const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
              const com::sun::star::uno::Reference<com::sun::star::text::XText>& text,
              const QString& scratchFolder);

    // Prepares the art page. Call while the document is not being laid out (controllers locked).
    void separateArt();
    // After separateArt(): exports and writes the result at path, whole or not at all.
    void write(const QString& path, const FixedFormatOptions& options);
    // After separateArt(): the pages as the office draws them, the art page first, in file.
    void exportPages(const QString& file, const ProgressHandler& progress);
    // Lays each part's art under its pages and joins them in the file joined.
    static void joinParts(const std::vector<PdfUnderlay::Part>& parts, const QString& joined,
                          const FixedFormatOptions& options);
    // Copies file to path, whole or not at all.
    static void place(const QString& file, const QString& path);

private:
    void settleStatistics();

    com::sun::star::uno::Reference<com::sun::star::frame::XModel> mModel;
    com::sun::star::uno::Reference<com::sun::star::text::XText> mText;
    QString mScratchFolder;
};

} // namespace word
