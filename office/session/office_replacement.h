#pragma once

#include "office_document.h"
#include "word_automation.h"

namespace word {

// The replacement settings of a Find, kept in its request.
class OfficeReplacement final : public Replacement
{
public:
    explicit OfficeReplacement(FindRequest& request) : mRequest(request) {}
    void ClearFormatting() override {}
    void setText(const QString& text) override { mRequest.replacement = text; }

private:
    FindRequest& mRequest;
};

} // namespace word
