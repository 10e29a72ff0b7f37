#pragma once

#include "page_statistics.h"
#include "word_automation.h"

#include <com/sun/star/frame/XModel.hpp>

#include <optional>

namespace word {

// A text document stored at url as a Word 97 file. With counts the program knows already, the
// office skips its own count of the statistics (seconds for a long document) and the counts are
// written into the file after; should that fail, it is stored again with the office's own count,
// and a line on standard error says so. How far a long store is goes to progress.
class WordStore
{
public:
    // name: the file as the person knows it, for the line.
    static void store(const com::sun::star::uno::Reference<com::sun::star::frame::XModel>& model,
                      const rtl::OUString& url, const QString& name,
                      const std::optional<DocumentCounts>& counts, const ProgressHandler& progress);
};

} // namespace word
