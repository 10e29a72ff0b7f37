#pragma once

#include "word_automation.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <system_error>

namespace word {

// Runs a long call on a thread of its own and meanwhile tells the handler, on the caller's
// thread, how far it has come: what percent holds (another thread may set it), or -1 without it.
// So the caller's events keep running, also while the office works without reporting. Without a
// handler the call runs right here. Returns what the call returns; a failure reaches the caller
// as if the call had run here. Only for calls that touch nothing but the office's objects and
// their own data: the bridge serves any thread.
template <typename Body>
auto reportingCall(const ProgressHandler& handler, const std::atomic<int>* percent, Body&& body)
{
    if (!handler) {
        return body();
    }
    std::future<decltype(body())> result;
    try {
        result = std::async(std::launch::async, std::ref(body));
    } catch (const std::system_error&) {
        return body(); // no thread to be had: the call runs here, without reports
    }
    const auto report = [&] {
        try {
            handler(percent ? percent->load() : -1);
        } catch (...) {
            // The report is only a courtesy; the call goes on.
        }
    };
    // Told at once, so that even a call shorter than a beat is reported.
    report();
    constexpr auto kBeat = std::chrono::milliseconds(40);
    while (result.wait_for(kBeat) != std::future_status::ready) {
        report();
    }
    return result.get();
}

} // namespace word
