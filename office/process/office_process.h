#pragma once

#include "watchdog.h"

#include <QProcess>
#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <sys/types.h>

namespace word {

// One headless office process with its own profile folder and pipe name, in a private folder that
// is removed when the process ends. It runs in a process group of its own, which a kill ends as a
// whole, and carries a parent-death signal, so that it cannot outlive the program, even one that
// is killed outright.
//
// That signal fires when the thread that started the process ends, not the program: construct,
// restart and end it on the thread that lives as long as the program. Its QProcess is used from
// that thread only; other threads (a call run on a thread of its own) ask whether the process
// still runs through the system, without reaping it.
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
    QString folder() const { return mFolder; }
    // The UNO connection string of the office's pipe.
    QString connectionDescription() const;
    // The URL of the office's private profile, inside the folder.
    QString profileUrl() const;

    // Whether the process still runs; notices an end that has not been seen yet.
    bool running();
    // Whether the process was seen to end (or was ended) since it was started.
    bool ended() const;
    // Whether the office has opened its pipe, so that a connection is taken at once.
    bool listening() const;
    // The id of the process last started, kept after it ended (its scratch files carry it).
    pid_t startedPid() const { return mStartedPid; }
    // Whether it still is, or will be, an office to use: one that failed to start again is not.
    bool usable() { return running() || (exitCode() == kRestartRequested && !mFolder.isEmpty()); }
    // The exit code of an ended process, or -1 for a process ended by a signal.
    int exitCode() const;
    // Whether the process ended by a kill, from this program or from outside (a person, the end
    // of a session, a system short of memory), rather than by a fault of its own.
    bool endedByKill() const;
    // A new process on the same profile, after the office asked to be restarted.
    void restart();
    // Whether the process was started on a copy of the kept profile (see ProfileSeed).
    bool startedOnSeed() const { return mStartedOnSeed; }
    // A new process on a fresh profile of its own, after one on a copy of the kept profile did
    // not come up: the kept profile is removed, saying why, and made again later.
    void restartOnFreshProfile(const QString& why);
    // The exit code with which the office asks its launcher for a restart (after setting up a
    // fresh profile).
    static constexpr int kRestartRequested = 81;
    // For an office started ahead of need: the restart it asks for is made as soon as it asks,
    // from the event loop, rather than when the office is first used. Until stopped.
    void restartWhenAsked();
    void stopRestartingWhenAsked();
    // Waits up to timeoutMs for the process to end on its own.
    bool waitForExit(int timeoutMs);
    // Kills the process group and reaps it, then removes the folder.
    void kill();
    // Kills the process group and reaps it now; removing its folder waits for the event loop,
    // when this is the thread that runs it, so that whoever quit the office need not wait for it
    // (a run's preview, for one). Until then the folder counts among those killAll removes.
    static void endSoon(const std::shared_ptr<OfficeProcess>& process);

    // Times the calls to this office.
    Watchdog& watchdog() { return mWatchdog; }

    // The office program; TICKETWRIGHT_OFFICE overrides the installed one.
    static QString programPath();

private:
    // Ends them all, reading what they made and whether they started.
    friend class LiveOffices;

    void makeFolder();
    void start();
    void restartAsked();
    // Sends the kill to the process group, if the process still runs.
    void signalGroup();
    void endProcess();
    void removeFolder();

    Watchdog mWatchdog;
    QProcess mProcess;
    QString mFolder;
    QString mPipeName;
    // The folder and the sockets as made; never changed after, so any thread may read them.
    struct Made
    {
        QString pipeSocket;
        QString instanceSocket;
        QString folder;
    };
    static void remove(const Made& made);
    Made mMade;
    bool onOwnThread() const;
    // From another thread: whether the process has ended, seen through the system.
    bool endedElsewhere() const;

    // Held while the folder, its files and the process are made: an ending from another thread
    // waits for a start under way, so that it never removes a folder that is still being filled.
    std::timed_mutex mStarting;
    void refuseWhenEnding() const;

    std::atomic<pid_t> mStartedPid{-1};
    // Whole: constructed, its first start done.
    std::atomic<bool> mStarted{false};
    // Set on the process's own thread once it has seen the process end.
    std::atomic<bool> mSeenEnded{true};
    bool mStartedOnSeed = false;
    bool mFreshProfile = false;
    QMetaObject::Connection mRestartWhenAsked;
    int mRestartsWhenAsked = 0;
};

} // namespace word
