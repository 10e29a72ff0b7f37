#include "office_range.h"

#include "office_application.h"

namespace word {

QImage OfficeRange::CopyAsPicture()
{
    return mApp.watched([&] { return mDocument->firstPagePicture(); });
}

QStringList OfficeRange::paragraphTexts(const QString& style)
{
    return mApp.watched([&] { return mDocument->paragraphTexts(style); });
}

int OfficeRange::paragraphCount(const QString& style)
{
    return mApp.watched([&] { return mDocument->paragraphCount(style); });
}

QString OfficeRange::Text()
{
    return mApp.watched([&] { return mDocument->text(); });
}

} // namespace word
