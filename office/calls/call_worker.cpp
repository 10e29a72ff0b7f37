#include "call_worker.h"

#include "notice.h"

#include <QString>

#include <system_error>

namespace word {

CallWorker::~CallWorker()
{
    {
        const std::lock_guard lock(mMutex);
        mStop = true;
    }
    mWake.notify_one();
    if (mThread.joinable()) {
        mThread.join();
    }
}

void CallWorker::post(std::function<void()> task)
{
    {
        const std::lock_guard lock(mMutex);
        if (!mThread.joinable()) {
            try {
                mThread = std::thread([this] { loop(); });
            } catch (const std::system_error& failure) {
                // Only a saving: the call runs here instead, before the caller's own work.
                notice::line(QStringLiteral("no thread for an office's calls (%1); they run one "
                                            "after the other")
                                 .arg(QString::fromLocal8Bit(failure.what())));
                mTasks.clear();
                task();
                return;
            }
        }
        mTasks.push_back(std::move(task));
    }
    mWake.notify_one();
}

void CallWorker::loop()
{
    std::unique_lock lock(mMutex);
    for (;;) {
        mWake.wait(lock, [this] { return mStop || !mTasks.empty(); });
        if (mTasks.empty()) {
            return; // stopped, and nothing left to run
        }
        std::function<void()> task = std::move(mTasks.front());
        mTasks.pop_front();
        lock.unlock();
        task(); // a packaged task: what it throws goes to its future
        lock.lock();
    }
}

} // namespace word
