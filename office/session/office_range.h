#pragma once

#include "word_automation.h"

#include <memory>

namespace word {

class OfficeDocument;

// The whole of one open document.
class OfficeRange final : public Range
{
public:
    explicit OfficeRange(std::shared_ptr<OfficeDocument> document) : mDocument(std::move(document))
    {}
    QImage CopyAsPicture() override;
    QStringList paragraphTexts(const QString& style) override;
    int paragraphCount(const QString& style) override;
    QString Text() override;

private:
    std::shared_ptr<OfficeDocument> mDocument;
};

} // namespace word
