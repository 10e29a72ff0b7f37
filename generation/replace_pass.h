#pragma once

#include "word_automation.h"

// What a run asks of the office layer, for the layer's tests and its benchmark, which drive it
// as a run does.

// The copied page pasted at the end, with the insertion point left at the new page's start.
inline void pastePageAtEnd(word::Selection& selection)
{
    selection.EndKey(word::WdUnits::Story);
    selection.Paste();
    selection.TypeBackspace();
    selection.EndKey(word::WdUnits::Story);
    selection.GoTo(word::WdGoToItem::Page, word::WdGoToDirection::Previous, 1);
    selection.GoTo(word::WdGoToItem::Page, word::WdGoToDirection::Next, 1);
}

// One find-and-replace pass with every setting the run makes; a style limits it to that style's
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
