#pragma once

#include "edit_command.h"

#include <vector>

namespace word {

// Where a document's editing steps run: DocumentEditor in this process, whose every office call
// is a round trip over the pipe, or InOfficeEditing, which hands a batch of steps to the same
// editor running inside the office and waits for one answer.
class DocumentEditing
{
public:
    virtual ~DocumentEditing() = default;
    // Runs the commands in order, each on its own: one that fails does not stop those after it.
    // Throws word::Error only when none could run (the office is gone, say).
    virtual std::vector<EditOutcome> run(const std::vector<EditCommand>& commands) = 0;
    // Whether the commands run inside the office, where a walk over every paragraph is cheap.
    virtual bool insideOffice() const { return false; }
};

} // namespace word
