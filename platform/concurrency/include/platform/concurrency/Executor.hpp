#pragma once
// Where tasks run: a queue of jobs drained by one thread, one job at a time.

#include <functional>

namespace platform {

class Executor {
public:
    virtual ~Executor() = default;

    // Queues job to run on the executor's thread on a later turn, never inside this call; jobs run
    // in the order they were posted. Safe for concurrent access.
    // REQUIRES: job does not throw; the executor outlives every thread that posts to it.
    virtual void post(std::function<void()> job) = 0;
};

} // namespace platform
