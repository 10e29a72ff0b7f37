#include "end_signals.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int gWriteEnd = -1;

extern "C" void writeSignal(int signal)
{
    // Only async-signal-safe calls; a full pipe drops the byte, and one is enough.
    const int saved = errno;
    const auto byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t written = ::write(gWriteEnd, &byte, 1);
    errno = saved;
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

EndSignals::EndSignals(std::function<void(int signal)> onSignal) : mOnSignal(std::move(onSignal))
{
    int ends[2] = {-1, -1};
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        return; // the signals keep their default actions
    }
    mReadEnd = ends[0];
    gWriteEnd = ends[1];
    mNotifier = std::make_unique<QSocketNotifier>(mReadEnd, QSocketNotifier::Read);
    QObject::connect(mNotifier.get(), &QSocketNotifier::activated, [this] { readSignal(); });
    handleWith(writeSignal);
}

EndSignals::~EndSignals()
{
    if (mReadEnd < 0) {
        return;
    }
    handleWith(SIG_DFL);
    mNotifier.reset();
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
