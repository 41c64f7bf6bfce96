#pragma once
// An executor that a test drains by hand, so every turn of the loop is visible.

#include <chrono>
#include <cstddef>

#include "platform/concurrency/Executor.hpp"
#include "platform/concurrency/JobQueue.hpp"

namespace platform {

class ManualExecutor final : public Executor {
public:
    void post(std::function<void()> job) override { jobs_.push(std::move(job)); }

    // Runs jobs, including those posted meanwhile, until none is queued; answers how many ran.
    // REQUIRES: called on the test's own thread, which is then the executor's thread.
    std::size_t runUntilIdle();

    // Runs jobs until done() holds, waiting for jobs posted by other threads for at most timeout;
    // answers done(). For tests whose work finishes on a real worker thread.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

    std::size_t pendingJobs() const { return jobs_.size(); }

private:
    detail::JobQueue jobs_;
};

} // namespace platform
