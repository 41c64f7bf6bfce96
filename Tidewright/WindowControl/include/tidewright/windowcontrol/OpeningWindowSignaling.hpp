#pragma once
// How the opening machinery learns, without polling, that a watched process created a window.

#include <cstdint>

#include "platform/concurrency/Task.hpp"
#include "tidewright/windowcontrol/ContinuousInstant.hpp"

namespace tidewright {

// REQUIRES: used on the main executor; wait is awaited in a task there.
class OpeningWindowSignaling {
public:
    virtual ~OpeningWindowSignaling() = default;

    // True when a window of pid was created (since the last wait, or during this one); false when
    // the limit passes, on cancel(), when the awaiting task is cancelled, or when a newer wait
    // replaces this one. Never throws.
    virtual platform::Async<bool> wait(std::int32_t pid, ContinuousDuration limit) = 0;

    // Forgets the watched process and ends a pending wait with false.
    virtual void cancel() = 0;
};

} // namespace tidewright
