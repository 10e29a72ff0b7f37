#include "command_front.h"

#include <utility>

namespace word {

int CommandFront::edit(const EditCommand& command)
{
    if (mGathering) {
        mGathered.push_back(command);
        return 0;
    }
    if (command.kind == EditCommand::Kind::Fail) {
        throw Error(command.failure);
    }
    return runOne(command);
}

std::vector<BatchFailure> CommandFront::endBatch(const std::function<void()>& meanwhile)
{
    std::vector<EditCommand> commands;
    commands.swap(mGathered);
    mGathering = false;
    bool calledMeanwhile = false;
    const auto callMeanwhile = [&] {
        if (meanwhile && !std::exchange(calledMeanwhile, true)) {
            meanwhile();
        }
    };
    std::vector<BatchFailure> failures;
    if (commands.empty()) {
        callMeanwhile();
        return failures;
    }
    std::vector<EditOutcome> outcomes;
    try {
        outcomes = runBatch(commands, meanwhile ? std::function<void()>(callMeanwhile)
                                                : std::function<void()>());
    } catch (...) {
        callMeanwhile();
        throw;
    }
    callMeanwhile();
    for (std::size_t i = 0; i < outcomes.size(); ++i) {
        if (outcomes[i].failed) {
            failures.push_back({static_cast<int>(i), outcomes[i].description});
        }
    }
    return failures;
}

void CommandFront::dropBatch()
{
    mGathered.clear();
    mGathering = false;
}

} // namespace word
