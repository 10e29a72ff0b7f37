#pragma once

#include "run_labels.h"
#include "word_automation.h"

#include <array>
#include <vector>

// The office statements of a run that its tests and benchmarks also make, written once: the run
// takes them one by one, each under its label; the office layer's tests and benchmark take them
// in one go (replace_pass.h).
class OfficeSteps
{
public:
    struct SelectionStep
    {
        int label;
        void (*apply)(word::Selection&);
    };
    // The copied page pasted at the end, with the insertion point left at the new page's start.
    static const std::array<SelectionStep, 6>& pastePage();

    struct FindSetting
    {
        int run_labels::ReplacePass::*label;
        void (*apply)(word::Find&, word::WdFindWrap wrap, const QString& style);
    };
    // A find-and-replace pass's settings, made after its search and replacement texts and before
    // it runs, in order. A style limits the pass to that style's paragraphs.
    static const std::array<FindSetting, 8>& findSettings();
};
