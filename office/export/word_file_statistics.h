#pragma once

#include "page_statistics.h"

#include <QString>

namespace word {

// Writes a document's statistics into a Word 97 file that the office saved without counting
// them: the words, characters and paragraphs in the document's properties block, and no page
// count, as the office writes them for a document it holds without a window. The file is a
// compound file; only those fields change, in place.
class WordFileStatistics
{
public:
    // Gives why not when the file is not as expected; it is then left as it was.
    static QString write(const QString& path, const DocumentCounts& counts);
    // The statistics fields as they stand in the file; empty when it is not as expected.
    static QByteArray read(const QString& path);
};

} // namespace word
