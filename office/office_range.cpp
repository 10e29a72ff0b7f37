#include "office_range.h"

#include "office_application.h"

namespace word {

QImage OfficeRange::CopyAsPicture()
{
    return app_.watched([&] { return document_->firstPagePicture(); });
}

QStringList OfficeRange::paragraphTexts(const QString& style)
{
    return app_.watched([&] { return document_->paragraphTexts(style); });
}

} // namespace word
