#pragma once

#include <QSocketNotifier>

#include <csignal>
#include <functional>
#include <memory>
#include <thread>

// The signals that ask a program to end (SIGTERM from a logout, kill or a service manager,
// SIGINT from Ctrl-C in its terminal, SIGHUP when its terminal goes) reach the program as a call
// from its event loop, where it can end the way it always does. The handler itself only writes
// the signal's number to a pipe. One instance at a time; while it lives it owns those signals.
//
// The event loop does not run while the main thread waits on an office that hangs, or in a long
// call that runs none of its events. So a thread of its own hears each signal too, and when the
// program has not ended kGraceMs later, it calls onStuck (on that thread: only what is safe
// there, such as killing processes and removing listed files) and ends the process with status
// 128 + the signal.
class EndSignals
{
public:
    static constexpr int kGraceMs = 1000;

    explicit EndSignals(std::function<void(int signal)> onSignal,
                        std::function<void(int signal)> onStuck = {});
    // The signals' default actions again.
    ~EndSignals();
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

    // While one lives, the ending thread waits for it to go: for work that ends by itself soon
    // and must not be cut off, such as a copy of the person's file being written.
    class Hold
    {
    public:
        Hold();
        ~Hold();
        Hold(const Hold&) = delete;
        Hold& operator=(const Hold&) = delete;
    };

private:
    void readSignal();
    void watch();

    std::function<void(int)> mOnSignal;
    std::function<void(int)> mOnStuck;
    int mReadEnd = -1;
    int mWatchEnd = -1; // the watching thread's end of the handler's second pipe
    int mStopWrite = -1;
    int mStopRead = -1;
    std::unique_ptr<QSocketNotifier> mNotifier;
    std::thread mWatcher;
};
