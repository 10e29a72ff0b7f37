#pragma once

#include "end_signals.h"
#include "seams.h"

#include <functional>
#include <memory>

// What the window and the command line do around their runs, once per program and in one order.
// The host's set of seams is installed whole, with the ending as its endProgram; a signal sets the status to 128 + the signal
// and is the host's to take on the event loop (the window closes itself), and the program ends
// from the signal's own thread when the event loop cannot run. Every ending, by a signal, a close
// or the host's own, goes the same way: every office and a run's working files, then the host's
// clean-up (its own files, a print), the result claims, and the exit with the status.
class ProgramSession
{
public:
    // onSignal takes a signal on the event loop; end() follows it in any case.
    ProgramSession(Seams seams, std::function<void()> cleanUp,
                   std::function<void(int signal)> onSignal);
    ~ProgramSession();
    ProgramSession(const ProgramSession&) = delete;
    ProgramSession& operator=(const ProgramSession&) = delete;

    // Removes what the runs of a killed program left in the temporary folder: once, at the start.
    void sweep();
    int status() const { return mStatus; }
    void setStatus(int status) { mStatus = status; }
    // The clean-up of an ending, for a host that then returns its status itself.
    void cleanUp();
    // The ending: the clean-up, then the process exits at once with the status.
    [[noreturn]] void end();

private:
    std::function<void()> mCleanUp;
    std::function<void(int)> mOnSignal;
    int mStatus = 0;
    Seams mPrevious;
    std::unique_ptr<EndSignals> mSignals;
};
