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
        : mApp(app), mDocument(std::move(document))
    {}
    QImage CopyAsPicture() override;
    QStringList paragraphTexts(const QString& style) override;
    int paragraphCount(const QString& style) override;
    QString Text() override;

private:
    OfficeApplication& mApp;
    std::shared_ptr<OfficeDocument> mDocument;
};

} // namespace word
