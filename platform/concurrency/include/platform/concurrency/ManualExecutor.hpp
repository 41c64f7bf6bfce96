#pragma once
// An executor that a test drains by hand, so every turn of the loop is visible.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

#include "platform/concurrency/Executor.hpp"

namespace platform {

class ManualExecutor final : public Executor {
public:
    ManualExecutor() = default;
    ~ManualExecutor() override;
    ManualExecutor(const ManualExecutor&) = delete;
    ManualExecutor& operator=(const ManualExecutor&) = delete;

    void post(std::function<void()> job) override;

    // Runs jobs, including those posted meanwhile, until none is queued; answers how many ran.
    // REQUIRES: called on the test's own thread, which is then the executor's thread.
    std::size_t runUntilIdle();

    // Runs jobs until done() holds, waiting for jobs posted by other threads for at most timeout;
    // answers done(). For tests whose work finishes on a real worker thread.
    bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

    std::size_t pendingJobs() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable posted_;
    std::deque<std::function<void()>> jobs_;
};

} // namespace platform
