#pragma once

#include "office_document.h"
#include "office_replacement.h"
#include "word_automation.h"

namespace word {

class OfficeApplication;

// Records the settings; Execute hands them to the active document, the only call that reaches
// the office.
class OfficeFind final : public Find
{
public:
    explicit OfficeFind(OfficeApplication& app) : app_(app), replacement_(request_) {}

    void ClearFormatting() override
    {
        request_.format = false;
        request_.style.clear();
    }
    Replacement& replacement() override { return replacement_; }
    void setText(const QString& text) override { request_.text = text; }
    void setForward(bool forward) override { request_.forward = forward; }
    void setWrap(WdFindWrap wrap) override { request_.wrap = wrap; }
    void setFormat(bool format) override { request_.format = format; }
    void setMatchCase(bool on) override { request_.matchCase = on; }
    void setMatchWholeWord(bool on) override { request_.matchWholeWord = on; }
    void setMatchWildcards(bool on) override { request_.matchWildcards = on; }
    void setMatchSoundsLike(bool on) override { request_.matchSoundsLike = on; }
    void setMatchAllWordForms(bool on) override { request_.matchAllWordForms = on; }
    void setStyle(const QString& style) override { request_.style = style; }
    bool Execute(WdReplace replace) override;

private:
    bool execute(WdReplace replace);

    OfficeApplication& app_;
    FindRequest request_;
    OfficeReplacement replacement_;
};

} // namespace word
