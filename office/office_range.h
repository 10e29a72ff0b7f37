#pragma once

#include "word_automation.h"

#include <memory>

namespace word {

class OfficeApplication;
class OfficeDocument;

// The whole of one open document.
class OfficeRange final : public Range
{
public:
    OfficeRange(OfficeApplication& app, std::shared_ptr<OfficeDocument> document)
        : app_(app), document_(std::move(document))
    {}
    QImage CopyAsPicture() override;
    QStringList paragraphTexts(const QString& style) override;

private:
    OfficeApplication& app_;
    std::shared_ptr<OfficeDocument> document_;
};

} // namespace word
