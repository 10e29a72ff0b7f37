#pragma once

#include "word_automation.h"

namespace word {

class CommandFront;

// The selection of the active document: each call becomes a command, and the moves that are not
// offered fail in their turn.
class CommandSelection : public Selection
{
public:
    CommandSelection(CommandFront& front, Find& find) : mFront(front), mFind(find) {}

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
    CommandFront& mFront;
    Find& mFind;
};

} // namespace word
