#pragma once

#include "command_replacement.h"
#include "find_request.h"
#include "word_automation.h"

namespace word {

class CommandFront;

// Records the settings; Execute hands them on as one command, or refuses them: only forward,
// case-blind replace-all of plain text is offered.
class CommandFind : public Find
{
public:
    explicit CommandFind(CommandFront& front) : mFront(front), mReplacement(mRequest) {}

    void ClearFormatting() override
    {
        mRequest.format = false;
        mRequest.style.clear();
    }
    Replacement& replacement() override { return mReplacement; }
    void setText(const QString& text) override { mRequest.text = text; }
    void setForward(bool forward) override { mRequest.forward = forward; }
    void setWrap(WdFindWrap wrap) override { mRequest.wrap = wrap; }
    void setFormat(bool format) override { mRequest.format = format; }
    void setMatchCase(bool on) override { mRequest.matchCase = on; }
    void setMatchWholeWord(bool on) override { mRequest.matchWholeWord = on; }
    void setMatchWildcards(bool on) override { mRequest.matchWildcards = on; }
    void setMatchSoundsLike(bool on) override { mRequest.matchSoundsLike = on; }
    void setMatchAllWordForms(bool on) override { mRequest.matchAllWordForms = on; }
    void setStyle(const QString& style) override { mRequest.style = style; }
    bool Execute(WdReplace replace) override;

private:
    CommandFront& mFront;
    FindRequest mRequest;
    CommandReplacement mReplacement;
};

} // namespace word
