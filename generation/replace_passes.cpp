#include "replace_passes.h"

#include "app_error.h"
#include "error_trap.h"
#include "office_steps.h"
#include "page_batch.h"
#include "ticket_number_check.h"
#include "word_automation.h"

#include <utility>

ReplacePasses::ReplacePasses(ErrorTrap& trap, PageBatch& batch,
                             std::function<word::Selection&()> selection)
    : mTrap(trap), mBatch(batch), mSelection(std::move(selection))
{}

void ReplacePasses::prepare(const run_labels::ReplacePass& labels, const QString& search)
{
    mFind = nullptr;
    mTrap.step(labels.clearFind, [&] { mSelection().find().ClearFormatting(); });
    mTrap.step(labels.clearReplacement,
               [&] { mSelection().find().replacement().ClearFormatting(); });
    mTrap.step(labels.takeFind, [&] { mFind = &mSelection().find(); });
    mTrap.step(labels.searchText, [&] { find().setText(search); });
}

void ReplacePasses::setReplacementText(const QString& text)
{
    find().replacement().setText(text);
}

void ReplacePasses::finish(const run_labels::ReplacePass& labels, word::WdFindWrap wrap,
                           const QString& style)
{
    for (const OfficeSteps::FindSetting& setting : OfficeSteps::findSettings()) {
        mTrap.step(labels.*setting.label, [&] { setting.apply(find(), wrap, style); });
    }
    mBatch.step(labels.execute, [&] { find().Execute(word::WdReplace::All); });
}

void ReplacePasses::eachPosition(const run_labels::ReplacePass& labels, word::WdFindWrap wrap,
                                 const QString& style, const std::function<QString(int)>& search,
                                 const std::function<QString(int)>& replacement)
{
    for (int j = 1; j <= ticket_numbers::kTicketsPerPage; ++j) {
        prepare(labels, search(j));
        mTrap.step(labels.replacementText, [&] { setReplacementText(replacement(j)); });
        finish(labels, wrap, style);
    }
}

word::Find& ReplacePasses::find() const
{
    if (mFind == nullptr) {
        throw AppError(QStringLiteral("The office's search is not available."));
    }
    return *mFind;
}
