#pragma once

#include <QtGlobal>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <sys/types.h>
#include <thread>

namespace word {

// Gives up a call to an office that no longer works. When a call has gone on for the limit with
// the office using no processor time at all (stopped or deadlocked; a long save keeps it busy and
// is left alone), a thread of its own kills the office's process group: the call's connection
// breaks and the call fails instead of waiting for ever.
class Watchdog
{
public:
    // Marks one call to the office for as long as it lives.
    class Call
    {
    public:
        explicit Call(Watchdog& watchdog) : mWatchdog(watchdog) { mWatchdog.callStarted(); }
        ~Call() { mWatchdog.callEnded(); }
        Call(const Call&) = delete;
        Call& operator=(const Call&) = delete;

    private:
        Watchdog& mWatchdog;
    };

    explicit Watchdog(int limitMs);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    // The process group to watch, named by its leader. Forget it before the leader is reaped:
    // until then its id cannot name anyone else's process.
    void watch(pid_t group);
    void forget();

    // Calls may nest; the outermost one counts. Only an atomic store: cheap enough for every call
    // of a page loop. Only the thread that drives the office calls these.
    void callStarted();
    void callEnded();

    // Whether the watchdog had to stop the office.
    bool stoppedOffice() const { return mStoppedOffice.load(); }
    int limitMs() const { return mLimitMs; }

    // The rule, in monotonic milliseconds: a call under way (callStartedMs is 0 between calls) is
    // given up once both its start and the office's last use of processor time lie more than
    // limitMs back.
    static bool callStalled(qint64 nowMs, qint64 callStartedMs, qint64 lastProgressMs, int limitMs);
    // TICKETWRIGHT_OFFICE_TIMEOUT seconds (fractions allowed), two minutes by default, as big
    // documents take tens of seconds to open or save.
    static int configuredLimitMs();

private:
    void run();

    const int mLimitMs;
    int mCallDepth = 0;
    // Monotonic milliseconds at the start of the current outermost call; 0 between calls.
    std::atomic<qint64> mCallStartedMs{0};
    std::atomic<bool> mStoppedOffice{false};
    std::mutex mMutex;
    std::condition_variable mWake;
    pid_t mGroup = -1;  // under mMutex
    bool mStop = false; // under mMutex
    std::thread mThread;
};

} // namespace word
