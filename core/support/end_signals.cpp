#include "end_signals.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>

namespace {

int gWriteEnd = -1;
int gWatchWrite = -1;
std::atomic<int> gHolds{0};

extern "C" void writeSignal(int signal)
{
    // Only async-signal-safe calls; a full pipe drops the byte, and one is enough.
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(gWriteEnd, &byte, 1);
    if (gWatchWrite >= 0) {
        [[maybe_unused]] const ssize_t watched = ::write(gWatchWrite, &byte, 1);
    }
    errno = saved;
}

// Waits until fd can be read, or timeoutMs (-1: no limit) has passed; true when it can.
bool readable(int fd, int timeoutMs)
{
    pollfd polled = {fd, POLLIN, 0};
    int ready = 0;
    do {
        ready = ::poll(&polled, 1, timeoutMs);
    } while (ready < 0 && errno == EINTR);
    return ready > 0;
}

void handleWith(void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : EndSignals::kSignals) {
        ::sigaction(signal, &action, nullptr);
    }
}

} // namespace

EndSignals::EndSignals(std::function<void(int signal)> onSignal,
                       std::function<void(int signal)> onStuck)
    : mOnSignal(std::move(onSignal)), mOnStuck(std::move(onStuck))
{
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return; // the signals keep their default actions
    }
    mReadEnd = ends[0];
    gWriteEnd = ends[1];
    mNotifier = std::make_unique<QSocketNotifier>(mReadEnd, QSocketNotifier::Read);
    QObject::connect(mNotifier.get(), &QSocketNotifier::activated, [this] { readSignal(); });
    int watched[2] = {-1, -1};
    int stop[2] = {-1, -1};
    if (mOnStuck && ::pipe2(watched, O_CLOEXEC | O_NONBLOCK) == 0) {
        if (::pipe2(stop, O_CLOEXEC) == 0) {
            mWatchEnd = watched[0];
            gWatchWrite = watched[1];
            mStopRead = stop[0];
            mStopWrite = stop[1];
            mWatcher = std::thread([this] { watch(); });
        } else {
            ::close(watched[0]);
            ::close(watched[1]);
        }
    }
    handleWith(writeSignal);
}

void EndSignals::watch()
{
    // Blocks every signal, so that the handler runs on the threads that do the work.
    sigset_t all;
    sigfillset(&all);
    ::pthread_sigmask(SIG_BLOCK, &all, nullptr);
    pollfd polled[2] = {{mWatchEnd, POLLIN, 0}, {mStopRead, POLLIN, 0}};
    while (::poll(polled, 2, -1) < 0 && errno == EINTR) {
    }
    unsigned char byte = 0;
    if ((polled[1].revents & POLLIN) != 0 || ::read(mWatchEnd, &byte, 1) != 1) {
        return;
    }
    if (readable(mStopRead, kGraceMs)) {
        return;
    }
    while (gHolds.load() > 0) {
        ::usleep(10'000);
    }
    mOnStuck(byte);
    ::_exit(128 + byte);
}

EndSignals::Hold::Hold()
{
    ++gHolds;
}

EndSignals::Hold::~Hold()
{
    --gHolds;
}

EndSignals::~EndSignals()
{
    if (mReadEnd < 0) {
        return;
    }
    handleWith(SIG_DFL);
    mNotifier.reset();
    if (mWatcher.joinable()) {
        const char stop = 0;
        [[maybe_unused]] const ssize_t written = ::write(mStopWrite, &stop, 1);
        mWatcher.join();
        ::close(gWatchWrite);
        gWatchWrite = -1;
        for (const int fd : {mWatchEnd, mStopRead, mStopWrite}) {
            ::close(fd);
        }
    }
    ::close(mReadEnd);
    ::close(gWriteEnd);
    gWriteEnd = -1;
}

void EndSignals::readSignal()
{
    unsigned char byte = 0;
    if (::read(mReadEnd, &byte, 1) != 1) {
        return;
    }
    // A second signal while the program ends ends it at once, as a person pressing Ctrl-C
    // again expects.
    handleWith(SIG_DFL);
    mNotifier->setEnabled(false);
    mOnSignal(byte);
}
