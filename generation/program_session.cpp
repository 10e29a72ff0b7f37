#include "program_session.h"

#include "result_claims.h"
#include "run_offices.h"

#include <cstdio>
#include <cstdlib>
#include <utility>

ProgramSession::ProgramSession(Seams seams, std::function<void()> cleanUp,
                               std::function<void(int signal)> onSignal)
    : mCleanUp(std::move(cleanUp)), mOnSignal(std::move(onSignal)), mPrevious(Seams::current())
{
    seams.endProgram = [this] { end(); };
    Seams::current() = std::move(seams);
    Seams::routeErrorReports();
    mSignals = std::make_unique<EndSignals>(
        [this](int signal) {
            mStatus = 128 + signal;
            if (mOnSignal) {
                mOnSignal(signal);
            }
            // A host that did not end the program on its own.
            end();
        },
        [](int) { RunOffices::endAllFromAnyThread(); });
}

ProgramSession::~ProgramSession()
{
    mSignals.reset();
    Seams::current() = mPrevious;
}

void ProgramSession::sweep()
{
    result_claims::sweep();
}

void ProgramSession::cleanUp()
{
    RunOffices::endAll();
    if (mCleanUp) {
        mCleanUp();
    }
    // A claim goes with the document it names, once that is gone.
    result_claims::release();
}

void ProgramSession::end()
{
    cleanUp();
    std::fflush(nullptr);
    std::_Exit(mStatus);
}
