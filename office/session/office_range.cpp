#include "office_range.h"

#include "office_application.h"
#include "office_document.h"
#include "uno_support.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>

namespace word {

using namespace word::uno;

namespace {

// The paragraphs in style: a style search finds whole paragraphs, all of them in one call.
Reference<css::container::XIndexAccess> paragraphsIn(const OfficeDocument::Contents& contents,
                                                     const QString& style)
{
    const auto descriptor = contents.replaceable->createSearchDescriptor();
    Reference<css::beans::XPropertySet> options(descriptor, UNO_QUERY_THROW);
    options->setPropertyValue("SearchStyles", Any(true));
    descriptor->setSearchString(toOU(style));
    return contents.replaceable->findAll(descriptor);
}

} // namespace

QImage OfficeRange::CopyAsPicture()
{
    return mDocument->app().watched([&] { return mDocument->firstPagePicture(); });
}

QStringList OfficeRange::paragraphTexts(const QString& style)
{
    return mDocument->app().watched([&] {
        const auto contents = mDocument->forReading();
        mDocument->requireView();
        return guarded(
            QStringLiteral("Reading the paragraphs in the style \"%1\"").arg(style), [&] {
                const Reference<css::container::XIndexAccess> found = paragraphsIn(contents, style);
                QStringList texts;
                const sal_Int32 count = found.is() ? found->getCount() : 0;
                for (sal_Int32 i = 0; i < count; ++i) {
                    texts << toQ(
                        Reference<css::text::XTextRange>(found->getByIndex(i), UNO_QUERY_THROW)
                            ->getString());
                }
                return texts;
            });
    });
}

int OfficeRange::paragraphCount(const QString& style)
{
    return mDocument->app().watched([&] {
        const auto contents = mDocument->forReading();
        mDocument->requireView();
        return guarded(QStringLiteral("Counting the paragraphs in the style \"%1\"").arg(style),
                       [&] {
                           const auto found = paragraphsIn(contents, style);
                           return found.is() ? static_cast<int>(found->getCount()) : 0;
                       });
    });
}

QString OfficeRange::Text()
{
    return mDocument->app().watched([&] {
        const auto contents = mDocument->forReading();
        return guarded(QStringLiteral("Reading the text"), [&] {
            // The office ends paragraphs with a line feed and leaves the last one open.
            QString text = toQ(contents.text->getString());
            text.replace(QLatin1Char('\n'), QLatin1Char('\r'));
            return text + QLatin1Char('\r');
        });
    });
}

} // namespace word
