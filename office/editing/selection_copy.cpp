#include "selection_copy.h"

#include "page_index.h"
#include "uno_support.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/text/XParagraphCursor.hpp>

namespace word {

using namespace word::uno;

CopiedPage copiedPageOf(const Reference<css::text::XText>& text,
                        const Reference<css::text::XTextCursor>& selection)
{
    const auto start = text->createTextCursorByRange(selection->getStart());
    CopiedPage::OnePage onePage(
        Reference<css::text::XParagraphCursor>(start, UNO_QUERY_THROW)->isStartOfParagraph());
    Reference<css::container::XEnumeration> paragraphs =
        Reference<css::container::XEnumerationAccess>(selection, UNO_QUERY_THROW)
            ->createEnumeration();
    int count = 0;
    auto texts = std::make_shared<std::vector<CopiedParagraph>>();
    while (!onePage.broken() && paragraphs->hasMoreElements()) {
        ++count;
        const Reference<css::uno::XInterface> element(paragraphs->nextElement(), UNO_QUERY);
        onePage.paragraph(PageIndex::startsPage(element));
        const Reference<css::text::XTextRange> paragraph(element, UNO_QUERY);
        if (texts && paragraph.is()) {
            rtl::OUString style;
            Reference<css::beans::XPropertySet>(element, UNO_QUERY_THROW)
                ->getPropertyValue("ParaStyleName") >>= style;
            texts->emplace_back(toQ(style), toQ(paragraph->getString()));
        } else {
            texts.reset(); // a table, say: what a paste of it holds is not followed
        }
    }
    return CopiedPage::of(std::move(texts), count, onePage.holds());
}

} // namespace word
