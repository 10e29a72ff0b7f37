#include "office_steps.h"

namespace label = run_labels;
using word::Find;
using word::WdFindWrap;

const std::array<OfficeSteps::SelectionStep, 6>& OfficeSteps::pastePage()
{
    static const std::array<SelectionStep, 6> steps = {{
        {label::kEndBeforePaste, [](word::Selection& s) { s.EndKey(word::WdUnits::Story); }},
        {label::kPaste, [](word::Selection& s) { s.Paste(); }},
        {label::kBackspace, [](word::Selection& s) { s.TypeBackspace(); }},
        {label::kEndAfterPaste, [](word::Selection& s) { s.EndKey(word::WdUnits::Story); }},
        {label::kPreviousPage,
         [](word::Selection& s) {
             s.GoTo(word::WdGoToItem::Page, word::WdGoToDirection::Previous, 1);
         }},
        {label::kNextPage,
         [](word::Selection& s) {
             s.GoTo(word::WdGoToItem::Page, word::WdGoToDirection::Next, 1);
         }},
    }};
    return steps;
}

const std::array<OfficeSteps::FindSetting, 8>& OfficeSteps::findSettings()
{
    using Pass = label::ReplacePass;
    static const std::array<FindSetting, 8> settings = {{
        {&Pass::forward, [](Find& f, WdFindWrap, const QString&) { f.setForward(true); }},
        {&Pass::wrap, [](Find& f, WdFindWrap wrap, const QString&) { f.setWrap(wrap); }},
        {&Pass::format,
         [](Find& f, WdFindWrap, const QString& style) {
             f.setFormat(!style.isEmpty());
             if (!style.isEmpty()) {
                 f.setStyle(style);
             }
         }},
        {&Pass::matchCase, [](Find& f, WdFindWrap, const QString&) { f.setMatchCase(false); }},
        {&Pass::matchWholeWord,
         [](Find& f, WdFindWrap, const QString&) { f.setMatchWholeWord(false); }},
        {&Pass::matchWildcards,
         [](Find& f, WdFindWrap, const QString&) { f.setMatchWildcards(false); }},
        {&Pass::matchSoundsLike,
         [](Find& f, WdFindWrap, const QString&) { f.setMatchSoundsLike(false); }},
        {&Pass::matchAllWordForms,
         [](Find& f, WdFindWrap, const QString&) { f.setMatchAllWordForms(false); }},
    }};
    return settings;
}
