#pragma once
// Calls of a fake that a test keeps waiting, while hold is set, until it lets them go, oldest first.

#include <cstddef>
#include <vector>

#include "platform/concurrency/Continuation.hpp"

namespace tidewright {

class HeldCalls {
public:
    bool hold = false;

    // Awaited by a call of the fake: ends at once unless hold is set.
    platform::Async<> pause() {
        if (hold) {
            co_await platform::withContinuation<void>(
                "held call", [this](platform::Continuation<> next) { held_.push_back(next); });
        }
    }

    std::size_t size() const { return held_.size(); }
    bool empty() const { return held_.empty(); }

    // Lets the oldest held call go on; answers whether there was one.
    bool release() {
        if (held_.empty()) {
            return false;
        }
        const platform::Continuation<> next = held_.front();
        held_.erase(held_.begin());
        next.resume();
        return true;
    }

    // Stops holding and lets every held call go on.
    void releaseAll() {
        hold = false;
        while (release()) {
        }
    }

private:
    std::vector<platform::Continuation<>> held_;
};

} // namespace tidewright
