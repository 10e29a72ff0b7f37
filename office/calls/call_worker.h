#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <thread>

namespace word {

// One long-lived thread for an office's calls that overlap the caller's own work (a page's
// batch while the run prepares the next page), instead of a thread made for every call. Started
// at the first call; ended, after the calls handed to it, with the object.
class CallWorker
{
public:
    CallWorker() = default;
    ~CallWorker();
    CallWorker(const CallWorker&) = delete;
    CallWorker& operator=(const CallWorker&) = delete;

    // Runs body over there; its result, or what it threw, comes back through the future.
    template <typename Body> auto run(Body&& body)
    {
        using Result = decltype(body());
        auto task = std::make_shared<std::packaged_task<Result()>>(std::forward<Body>(body));
        auto result = task->get_future();
        post([task] { (*task)(); });
        return result;
    }

private:
    void post(std::function<void()> task);
    void loop();

    std::mutex mMutex;
    std::condition_variable mWake;
    std::deque<std::function<void()>> mTasks; // under mMutex
    bool mStop = false;                       // under mMutex
    std::thread mThread;
};

} // namespace word
