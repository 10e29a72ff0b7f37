#pragma once

#include "end_signals.h"

#include <memory>

class Form1;

// How the program ends: when its window is closed, or when a signal asks it to end, which is
// taken as a close of the window on screen (the preview's close removes its document first).
// Either way every office ends and a run's working files go before the process exits, with
// status 0 after a close and 128 + the signal after a signal.
namespace program_end {

// Installs the ending as Seams::endProgram and listens for the signals while the result lives.
std::unique_ptr<EndSignals> install(Form1& form);

} // namespace program_end
