#pragma once

#include <QString>

#include <vector>

namespace word {

// Lays the first page of a PDF under every other page and leaves it out, so that art drawn once
// is drawn by every page; the art is stored once and each page refers to it. Made for PDFs the
// office wrote: every page the same size.
class PdfUnderlay
{
public:
    struct Information
    {
        QString title;
        QString subject;
        QString creator;
    };

    // A PDF the office wrote: its art page, then blankPages pages that are left out, then its own
    // (when pages is more than 0, exactly that many, or the part is refused).
    struct Part
    {
        QString file;
        int blankPages = 0;
        int pages = 0;
    };

    explicit PdfUnderlay(Information information);

    // Reads source and writes the result to target, which must not be source. Throws
    // word::Error with the reason.
    void run(const QString& source, const QString& target) const;
    // The same for parts of one document, each with its art page, joined in order in target.
    void run(const std::vector<Part>& parts, const QString& target) const;

private:
    Information mInformation;
};

} // namespace word
