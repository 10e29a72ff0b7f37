#pragma once

#include <QString>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <sys/types.h>
#include <thread>

namespace word {

// One headless office process with its own profile folder and pipe name, in a private folder that
// is removed when the process ends. The process is started from a thread that lives as long as
// the program and carries a parent-death signal, so it cannot outlive the program, even one that
// is killed outright.
class OfficeProcess
{
public:
    // Starts the office; throws word::Error when the program cannot be run.
    OfficeProcess();
    // Ends the process at once when it still runs, and removes its folder.
    ~OfficeProcess();
    OfficeProcess(const OfficeProcess&) = delete;
    OfficeProcess& operator=(const OfficeProcess&) = delete;

    // The process's private folder, for scratch files of its own.
    QString folder() const { return folder_; }
    // The UNO connection string of the office's pipe.
    QString connectionDescription() const;

    // Whether the process still runs; records its exit status when it has ended.
    bool running();
    // The id of the process last started, kept after it ended (its scratch files carry it).
    pid_t startedPid() const { return startedPid_; }
    // The exit code of an ended process, or -1 for a process ended by a signal.
    int exitCode() const { return exitCode_; }
    // A new process on the same profile, after the office asked to be restarted.
    void restart();
    // Waits up to timeoutMs for the process to end on its own.
    bool waitForExit(int timeoutMs);
    // Kills the process group and reaps it, then removes the folder.
    void kill();

    // A call to the office begins or ends. Calls may nest; the outermost one counts. When one
    // has gone on for callTimeoutMs() with the office using no processor time at all (stopped
    // or deadlocked; a long save keeps it busy and is left alone), a watchdog kills the process
    // group, so that the call returns with a failure instead of waiting for ever. Only an
    // atomic store: cheap enough for every call of a page loop.
    void callStarted();
    void callEnded();
    // Whether the watchdog had to stop the process.
    bool stoppedByWatchdog() const { return stoppedByWatchdog_.load(); }
    // Whether the process was seen to end (or was ended) since it was started.
    bool ended() const { return pid_ <= 0; }
    int callTimeoutMs() const { return callTimeoutMs_; }
    // The watchdog's rule, in monotonic milliseconds: a call under way (callStartedMs is 0
    // between calls) is given up once both its start and the office's last use of processor
    // time lie more than limitMs back.
    static bool callStalled(qint64 nowMs, qint64 callStartedMs, qint64 lastProgressMs, int limitMs);

    // The office program; TICKETWRIGHT_OFFICE overrides the installed one.
    static QString programPath();
    // The longest one office call may take: TICKETWRIGHT_OFFICE_TIMEOUT seconds (fractions
    // allowed), two minutes by default, as big documents take tens of seconds to open or save.
    static int configuredCallTimeoutMs();
    // Kills every office process this program started, at once.
    static void killAll();

private:
    void spawn();
    void endProcess();
    void removeFolder();
    void watch();
    void stopWatching();

    QString folder_;
    QString pipeName_;
    // Written only under the registry's lock, and read under it by the watchdog.
    pid_t pid_ = -1;
    pid_t startedPid_ = -1;
    int exitCode_ = 0;

    int callTimeoutMs_ = 0;
    int callDepth_ = 0; // only the thread that drives the office touches it
    // Monotonic milliseconds at the start of the current outermost call; 0 between calls.
    std::atomic<qint64> callStartedMs_{0};
    std::atomic<bool> stoppedByWatchdog_{false};
    std::mutex watchMutex_;
    std::condition_variable watchWake_;
    bool stopWatch_ = false;
    std::thread watchdog_;
};

} // namespace word
