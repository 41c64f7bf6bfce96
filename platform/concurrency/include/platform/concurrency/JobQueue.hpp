#pragma once
// A locked queue of jobs, the one piece under every executor and work queue.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>

namespace platform::detail {

// Safe for concurrent access.
class JobQueue {
public:
    using Job = std::function<void()>;

    JobQueue() = default;
    // Drops the jobs still queued outside the lock: dropping one may end a task that queues again.
    ~JobQueue();
    JobQueue(const JobQueue&) = delete;
    JobQueue& operator=(const JobQueue&) = delete;

    // Answers whether the queue was empty before.
    bool push(Job job);
    std::optional<Job> tryPop();
    // Waits for a job; nothing once the queue is closed and empty.
    std::optional<Job> waitPop();
    // Waits until a job is queued or the deadline passes; answers whether one is queued.
    bool waitForJob(std::chrono::steady_clock::time_point deadline);
    std::deque<Job> takeAll();
    // Wakes every waitPop(); they return the remaining jobs, then nothing.
    void close();
    std::size_t size() const;

private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    bool closed_ = false;
};

} // namespace platform::detail
