#pragma once

#include "word_automation.h"

#include <QString>

namespace word {

// The settings of one find-and-replace, as Find collected them.
struct FindRequest
{
    QString text;
    QString replacement;
    bool forward = true;
    WdFindWrap wrap = WdFindWrap::Continue;
    bool format = false;
    bool matchCase = false;
    bool matchWholeWord = false;
    bool matchWildcards = false;
    bool matchSoundsLike = false;
    bool matchAllWordForms = false;
    QString style;
};

} // namespace word
