#include "platform/concurrency/ManualExecutor.hpp"

namespace platform {

ManualExecutor::~ManualExecutor() {
    // Dropping a pending resumption may end a task that posts again; let it land in an empty queue.
    std::deque<std::function<void()>> doomed;
    std::lock_guard lock(mutex_);
    doomed.swap(jobs_);
}

void ManualExecutor::post(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    posted_.notify_all();
}

std::size_t ManualExecutor::runUntilIdle() {
    std::size_t ran = 0;
    while (true) {
        std::function<void()> job;
        {
            std::lock_guard lock(mutex_);
            if (jobs_.empty()) {
                return ran;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
        ++ran;
    }
}

bool ManualExecutor::runUntil(const std::function<bool()>& done,
                              std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        runUntilIdle();
        if (done()) {
            return true;
        }
        std::unique_lock lock(mutex_);
        if (!posted_.wait_until(lock, deadline, [this] { return !jobs_.empty(); })) {
            lock.unlock();
            return done();
        }
    }
}

std::size_t ManualExecutor::pendingJobs() const {
    std::lock_guard lock(mutex_);
    return jobs_.size();
}

} // namespace platform
