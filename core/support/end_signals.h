#pragma once

#include <QSocketNotifier>

#include <csignal>
#include <functional>
#include <memory>

// The signals that ask a program to end (SIGTERM from a logout, kill or a service manager,
// SIGINT from Ctrl-C in its terminal, SIGHUP when its terminal goes) reach the program as a call
// from its event loop, where it can end the way it always does. The handler itself only writes
// the signal's number to a pipe. One instance at a time; while it lives it owns those signals.
class EndSignals
{
public:
    explicit EndSignals(std::function<void(int signal)> onSignal);
    // The signals' default actions again.
    ~EndSignals();
    EndSignals(const EndSignals&) = delete;
    EndSignals& operator=(const EndSignals&) = delete;

    static constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

private:
    void readSignal();

    std::function<void(int)> mOnSignal;
    int mReadEnd = -1;
    std::unique_ptr<QSocketNotifier> mNotifier;
};
