#pragma once

#include "program_session.h"

#include <memory>

class Form1;

// How the window's program ends: when its window is closed, or when a signal asks it to end,
// which is taken as a close of the window on screen (the preview's close removes its document
// first). Either way every office ends, a print under way is cancelled and a run's working files
// go before the process exits, with status 0 after a close and 128 + the signal after a signal.
namespace program_end {

// The program's session around the window, with the seams installed now as its own, for as long
// as the result lives.
std::unique_ptr<ProgramSession> install(Form1& form);

} // namespace program_end
