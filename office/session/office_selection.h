#pragma once

#include "office_find.h"
#include "word_automation.h"

namespace word {

class OfficeApplication;

// The selection of the active document; every call goes to that document's editor, at once or,
// in a batch, with the others when the batch ends.
class OfficeSelection final : public Selection
{
public:
    explicit OfficeSelection(OfficeApplication& app) : mApp(app), mFind(app) {}

    Find& find() override { return mFind; }
    void WholeStory() override;
    void Copy() override;
    void EndKey(WdUnits unit) override;
    void Paste() override;
    void TypeBackspace() override;
    void GoTo(WdGoToItem what, WdGoToDirection which, int count) override;
    void BeginBatch() override;
    std::vector<BatchFailure> EndBatch(const std::function<void()>& meanwhile) override;

private:
    OfficeApplication& mApp;
    OfficeFind mFind;
};

} // namespace word
