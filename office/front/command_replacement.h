#pragma once

#include "find_request.h"
#include "word_automation.h"

namespace word {

// The replacement settings of a Find, kept in its request.
class CommandReplacement : public Replacement
{
public:
    explicit CommandReplacement(FindRequest& request) : mRequest(request) {}

    void ClearFormatting() override {}
    void setText(const QString& text) override { mRequest.replacement = text; }

private:
    FindRequest& mRequest;
};

} // namespace word
