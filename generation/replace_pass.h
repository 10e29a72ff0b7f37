#pragma once

#include "word_automation.h"

// One find-and-replace pass with every setting the run makes, for the office layer's tests and
// its benchmark, which drive the layer as a run does; a style limits it to that style's
// paragraphs.
inline bool replaceAll(word::Application& app, const QString& text, const QString& replacement,
                       word::WdFindWrap wrap, const QString& style = QString())
{
    word::Find& find = app.selection().find();
    find.ClearFormatting();
    find.replacement().ClearFormatting();
    find.setText(text);
    find.replacement().setText(replacement);
    find.setForward(true);
    find.setWrap(wrap);
    find.setFormat(!style.isEmpty());
    find.setStyle(style);
    find.setMatchCase(false);
    find.setMatchWholeWord(false);
    find.setMatchWildcards(false);
    find.setMatchSoundsLike(false);
    find.setMatchAllWordForms(false);
    return find.Execute(word::WdReplace::All);
}
