#pragma once

#include "edit_command.h"
#include "word_automation.h"

#include <functional>
#include <vector>

namespace word {

// Where the Selection's and Find's calls go once they are edit commands, the same for every
// implementation of the layer: a refused call fails in its turn; in a batch, the commands are
// gathered and run in one go while the caller does its work meanwhile. What runs them is the
// implementation's: the office's editor, or the scripted office of the tests.
class CommandFront
{
public:
    virtual ~CommandFront() = default;

    // Runs one command and gives its value; in a batch, gathers it and gives 0.
    int edit(const EditCommand& command);
    void beginBatch() { mGathering = true; }
    // Runs the gathered commands; meanwhile runs exactly once, whatever becomes of them. Each
    // failure comes back with its command's place in the batch.
    std::vector<BatchFailure> endBatch(const std::function<void()>& meanwhile);
    // Forgets a batch that will never run.
    void dropBatch();

protected:
    virtual int runOne(const EditCommand& command) = 0;
    // Runs the commands, each failing on its own, and meanwhile (when there is one) at the same
    // time or after them.
    virtual std::vector<EditOutcome> runBatch(const std::vector<EditCommand>& commands,
                                              const std::function<void()>& meanwhile) = 0;

private:
    bool mGathering = false;
    std::vector<EditCommand> mGathered;
};

} // namespace word
