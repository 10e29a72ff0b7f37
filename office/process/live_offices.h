#pragma once

namespace word {

class OfficeProcess;

// Every office of this program that has not been destroyed, so that all can be ended at once:
// from the thread that owns them, or from any thread for an ending that cannot wait for it.
class LiveOffices
{
public:
    // Known from before its folder is made until it is destroyed.
    static void add(OfficeProcess* process);
    static void remove(OfficeProcess* process);
    // Whether the program ends from another thread: no office starts after that.
    static bool ending();

    // Kills every office process this program started, at once.
    static void killAll();
    // Kills every office's process group and removes their folders and sockets, from any thread
    // and without reaping: for an ending that cannot wait for the thread that owns them.
    static void killAllFromAnyThread();
};

} // namespace word
