#include "call_worker.h"

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
        mTasks.push_back(std::move(task));
        if (!mThread.joinable()) {
            mThread = std::thread([this] { loop(); });
        }
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
