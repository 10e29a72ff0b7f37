#include "run_offices.h"

#include "result_claims.h"
#include "word_automation.h"
#include "working_files.h"

#include <utility>

namespace {

std::function<void()>& runInProgress()
{
    static std::function<void()> removeWorkingFiles;
    return removeWorkingFiles;
}

} // namespace

RunOffices::RunInProgress::RunInProgress(std::function<void()> removeWorkingFiles)
    : mPrevious(std::exchange(runInProgress(), std::move(removeWorkingFiles)))
{}

RunOffices::RunInProgress::~RunInProgress()
{
    runInProgress() = std::move(mPrevious);
}

void RunOffices::startEarly(const QByteArray& sample, int count)
{
    if (!sample.isEmpty()) {
        word::warmInstancesWith(sample);
    }
    word::startInstancesEarly(count);
}

void RunOffices::endAll()
{
    word::terminateAllInstances();
    if (runInProgress()) {
        runInProgress()();
    }
    result_claims::release();
}

void RunOffices::endAllFromAnyThread()
{
    // Removed while the main thread still waits on the offices, and again after they are gone,
    // for what it made in the moment between.
    working_files::removeAll(false);
    word::terminateAllInstancesFromAnyThread();
    working_files::removeAll();
}
