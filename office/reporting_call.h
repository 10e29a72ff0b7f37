#pragma once

#include "word_automation.h"

#include <chrono>
#include <future>

namespace word {

// Runs a long call that reports no progress of its own on a thread of its own, and meanwhile gives
// the handler a heartbeat (percent, or -1: under way, how far unknown) on the caller's thread, so
// that the caller's events keep running. Without a handler the call runs right here. Returns what
// the call returns; a failure reaches the caller as if the call had run here. Only for calls that
// touch nothing but the office's objects: the bridge serves any thread.
template <typename Body>
auto reportingCall(const ProgressHandler& handler, int percent, Body&& body)
{
    if (!handler) {
        return body();
    }
    auto result = std::async(std::launch::async, std::forward<Body>(body));
    constexpr auto kBeat = std::chrono::milliseconds(40);
    while (result.wait_for(kBeat) != std::future_status::ready) {
        try {
            handler(percent);
        } catch (...) {
            // The heartbeat is only a courtesy; the call goes on.
        }
    }
    return result.get();
}

} // namespace word
