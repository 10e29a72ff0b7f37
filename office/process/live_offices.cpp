#include "live_offices.h"

#include "office_process.h"

#include <QDeadlineTimer>
#include <QThread>

#include <atomic>
#include <chrono>
#include <csignal>
#include <mutex>
#include <set>
#include <vector>

namespace word {
namespace {

struct Registry
{
    std::mutex mutex;
    std::set<OfficeProcess*> processes;
    std::atomic<bool> ending{false};

    static Registry& instance()
    {
        static auto* live = new Registry; // never destroyed: usable during exit handlers too
        return *live;
    }
};

} // namespace

void LiveOffices::add(OfficeProcess* process)
{
    std::lock_guard lock(Registry::instance().mutex);
    Registry::instance().processes.insert(process);
}

void LiveOffices::remove(OfficeProcess* process)
{
    std::lock_guard lock(Registry::instance().mutex);
    Registry::instance().processes.erase(process);
}

bool LiveOffices::ending()
{
    return Registry::instance().ending;
}

void LiveOffices::killAllFromAnyThread()
{
    Registry::instance().ending = true;
    std::lock_guard lock(Registry::instance().mutex);
    const auto& processes = Registry::instance().processes;
    // A start under way is let finish (for a moment at most), so that its office is known; held
    // from then on, no process of ours is started or restarted.
    std::vector<std::unique_lock<std::timed_mutex>> held;
    for (OfficeProcess* process : processes) {
        held.emplace_back(process->mStarting, std::defer_lock);
        (void)held.back().try_lock_for(std::chrono::milliseconds(500));
        // Still a child of ours, so its group id is still its own.
        const pid_t group = process->mStartedPid;
        if (group > 1 && !process->endedElsewhere()) {
            ::killpg(group, SIGKILL);
        }
    }
    // Gone before their folders go, as a running office may write into its profile again.
    const QDeadlineTimer deadline(500);
    for (OfficeProcess* process : processes) {
        while (process->mStartedPid > 1 && !process->endedElsewhere() && !deadline.hasExpired()) {
            QThread::msleep(5);
        }
        OfficeProcess::remove(process->mMade);
    }
}

void LiveOffices::killAll()
{
    std::lock_guard lock(Registry::instance().mutex);
    // An office still being started belongs to the thread starting it until it is whole.
    for (OfficeProcess* process : Registry::instance().processes) {
        if (process->mStarted) {
            process->signalGroup();
        }
    }
    for (OfficeProcess* process : Registry::instance().processes) {
        if (process->mStarted) {
            process->kill();
        }
    }
}

} // namespace word
