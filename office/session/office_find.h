#pragma once

#include "office_document.h"
#include "office_replacement.h"
#include "word_automation.h"

namespace word {

class OfficeApplication;

// Records the settings; Execute hands them to the active document's editor, the only call that
// reaches the office.
class OfficeFind final : public Find
{
public:
    explicit OfficeFind(OfficeApplication& app) : mApp(app), mReplacement(mRequest) {}

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
    OfficeApplication& mApp;
    FindRequest mRequest;
    OfficeReplacement mReplacement;
};

} // namespace word
