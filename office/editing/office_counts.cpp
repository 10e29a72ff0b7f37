#include "office_counts.h"

#include "uno_support.h"

#include <com/sun/star/beans/XPropertySet.hpp>

namespace word {

using namespace word::uno;

std::optional<DocumentCounts> officeCounts(const Reference<css::frame::XModel>& model)
{
    try {
        const Reference<css::beans::XPropertySet> document(model, UNO_QUERY_THROW);
        sal_Int32 words = -1;
        sal_Int32 characters = -1;
        sal_Int32 paragraphs = -1;
        document->getPropertyValue("WordCount") >>= words;
        document->getPropertyValue("CharacterCount") >>= characters;
        document->getPropertyValue("ParagraphCount") >>= paragraphs;
        if (words < 0 || characters < 0 || paragraphs < 0) {
            return std::nullopt;
        }
        return DocumentCounts{words, characters, paragraphs};
    } catch (const css::uno::Exception&) {
        return std::nullopt;
    }
}

} // namespace word
