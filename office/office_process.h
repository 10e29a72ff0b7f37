#pragma once

#include "office_watchdog.h"

#include <QString>

#include <sys/types.h>

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

    // Whether the process was seen to end (or was ended) since it was started.
    bool ended() const { return pid_ <= 0; }
    // Times the calls to this office.
    OfficeWatchdog& watchdog() { return watchdog_; }

    // The office program; TICKETWRIGHT_OFFICE overrides the installed one.
    static QString programPath();
    // Kills every office process this program started, at once.
    static void killAll();

private:
    void spawn();
    void endProcess();
    void removeFolder();

    OfficeWatchdog watchdog_;
    QString folder_;
    QString pipeName_;
    // Written only under the registry's lock, and read under it by killAll().
    pid_t pid_ = -1;
    pid_t startedPid_ = -1;
    int exitCode_ = 0;
};

} // namespace word
