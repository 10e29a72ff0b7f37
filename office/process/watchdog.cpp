#include "watchdog.h"

#include <QByteArray>
#include <QFile>
#include <QList>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>

namespace word {
namespace {

qint64 monotonicMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Processor time the process has used so far (user and system), in clock ticks; -1 when it
// cannot be read.
qint64 processorTicks(pid_t pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray line = stat.readAll();
    // Fields after the command name, which may itself hold blanks and parentheses.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

} // namespace

Watchdog::Watchdog(int limitMs) : mLimitMs(limitMs), mThread([this] { run(); }) {}

Watchdog::~Watchdog()
{
    {
        std::lock_guard lock(mMutex);
        mStop = true;
    }
    mWake.notify_all();
    mThread.join();
}

void Watchdog::watch(pid_t group)
{
    std::lock_guard lock(mMutex);
    mGroup = group;
}

void Watchdog::forget()
{
    std::lock_guard lock(mMutex);
    mGroup = -1;
}

void Watchdog::callStarted()
{
    if (mCallDepth++ == 0) {
        mCallStartedMs.store(monotonicMs(), std::memory_order_relaxed);
    }
}

void Watchdog::callEnded()
{
    if (--mCallDepth == 0) {
        mCallStartedMs.store(0, std::memory_order_relaxed);
    }
}

bool Watchdog::callStalled(qint64 nowMs, qint64 callStartedMs, qint64 lastProgressMs, int limitMs)
{
    return callStartedMs != 0 && nowMs - std::max(callStartedMs, lastProgressMs) > limitMs;
}

int Watchdog::configuredLimitMs()
{
    constexpr int kDefaultMs = 120 * 1000;
    bool ok = false;
    const double seconds = qEnvironmentVariable("TICKETWRIGHT_OFFICE_TIMEOUT").toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds <= 0) {
        return kDefaultMs;
    }
    return static_cast<int>(std::clamp(seconds * 1000.0, 100.0, 24.0 * 3600 * 1000));
}

void Watchdog::run()
{
    // A tenth of the limit, so that a call is given up at most 10 % late; never busier than
    // 20 checks a second.
    const auto tick = std::chrono::milliseconds(std::clamp(mLimitMs / 10, 50, 1000));
    std::unique_lock lock(mMutex);
    qint64 lastCpu = -1;
    qint64 lastProgressMs = 0;
    while (!mStop) {
        mWake.wait_for(lock, tick);
        // Under the lock that forget() takes before the leader is reaped: the group looked at is
        // the office's, not a later process that was given the same id.
        const qint64 cpu = processorTicks(mGroup);
        const qint64 now = monotonicMs();
        if (cpu != lastCpu) {
            lastCpu = cpu;
            lastProgressMs = now;
        }
        if (!mStop && mGroup > 0 && !mStoppedOffice &&
            callStalled(now, mCallStartedMs.load(std::memory_order_relaxed), lastProgressMs,
                        mLimitMs)) {
            mStoppedOffice = true;
            ::killpg(mGroup, SIGKILL);
        }
    }
}

} // namespace word
