#include "word_store.h"

#include "notice.h"
#include "reporting_call.h"
#include "uno_support.h"
#include "word_file_statistics.h"

#include <QUrl>

#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/util/XModifiable.hpp>

namespace word {

using namespace word::uno;

void WordStore::store(const Reference<css::frame::XModel>& model, const rtl::OUString& url,
                      const QString& name, const std::optional<DocumentCounts>& counts,
                      const ProgressHandler& progress)
{
    const auto storeAs = [&](bool officeCounts) {
        // The office skips its own count of the statistics for this option alone.
        auto arguments = properties(
            {{"FilterName", Any(rtl::OUString("MS Word 97"))}, {"Overwrite", Any(true)}});
        if (!officeCounts) {
            arguments = properties({{"FilterName", Any(rtl::OUString("MS Word 97"))},
                                    {"Overwrite", Any(true)},
                                    {"FilterOptions", Any(rtl::OUString("SkipImages"))}});
        }
        // Seconds for a long document: the caller's windows go on meanwhile.
        reportingCall(progress, nullptr, [&] {
            Reference<css::frame::XStorable>(model, UNO_QUERY_THROW)->storeToURL(url, arguments);
        });
    };
    storeAs(!counts);
    if (!counts) {
        return;
    }
    // The office's own statistics were left as they were, and taken for up to date: a later
    // save that counts them must count them anew.
    Reference<css::util::XModifiable>(model, UNO_QUERY_THROW)->setModified(true);
    const QString why = WordFileStatistics::write(QUrl(toQ(url)).toLocalFile(), *counts);
    if (!why.isEmpty()) {
        notice::line(QStringLiteral("the statistics of \"%1\" could not be written (%2); it is "
                                    "saved again with the office's own count")
                         .arg(name, why));
        storeAs(true);
    }
}

} // namespace word
