#pragma once

#include "run_labels.h"

#include <QString>

#include <functional>

class ErrorTrap;
class PageBatch;

namespace word {
class Find;
class Selection;
enum class WdFindWrap;
} // namespace word

// The run's find-and-replace passes, each in two halves with its replacement statement between
// them: prepare() clears the formatting, takes the search anew and sets the text to find;
// finish() sets the search's options and replaces, in the page's batch when one is open. Every
// statement reports under its pass's own label.
class ReplacePasses
{
public:
    ReplacePasses(ErrorTrap& trap, PageBatch& batch, std::function<word::Selection&()> selection);

    void prepare(const run_labels::ReplacePass& labels, const QString& search);
    void setReplacementText(const QString& text);
    // A style limits the search to paragraphs in it.
    void finish(const run_labels::ReplacePass& labels, word::WdFindWrap wrap,
                const QString& style = QString());
    // A pass for each ticket position j of a page, 1 to 5: search(j) becomes replacement(j),
    // which is worked out in the replacement's own step.
    void eachPosition(const run_labels::ReplacePass& labels, word::WdFindWrap wrap,
                      const QString& style, const std::function<QString(int)>& search,
                      const std::function<QString(int)>& replacement);

private:
    // The search this pass took; a statement that needs one it could not take fails.
    word::Find& find() const;

    ErrorTrap& mTrap;
    PageBatch& mBatch;
    std::function<word::Selection&()> mSelection;
    word::Find* mFind = nullptr;
};
