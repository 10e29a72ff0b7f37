#pragma once

#include "office_steps.h"
#include "word_automation.h"

// What a run asks of the office layer, for the layer's tests and its benchmark, which drive it
// as a run does, with the run's own steps.

// The copied page pasted at the end, with the insertion point left at the new page's start.
inline void pastePageAtEnd(word::Selection& selection)
{
    for (const OfficeSteps::SelectionStep& step : OfficeSteps::pastePage()) {
        step.apply(selection);
    }
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
    for (const OfficeSteps::FindSetting& setting : OfficeSteps::findSettings()) {
        setting.apply(find, wrap, style);
    }
    return find.Execute(word::WdReplace::All);
}
