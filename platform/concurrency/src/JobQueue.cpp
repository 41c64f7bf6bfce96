#include "platform/concurrency/JobQueue.hpp"

namespace platform::detail {

JobQueue::~JobQueue() {
    // Until none is left: a job queued while the last ones are dropped would never be dropped.
    while (!takeAll().empty()) {
    }
}

bool JobQueue::push(Job job) {
    bool wasEmpty = false;
    {
        std::lock_guard lock(mutex_);
        wasEmpty = jobs_.empty();
        jobs_.push_back(std::move(job));
    }
    changed_.notify_one();
    return wasEmpty;
}

std::optional<JobQueue::Job> JobQueue::tryPop() {
    std::lock_guard lock(mutex_);
    if (jobs_.empty()) {
        return std::nullopt;
    }
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    return job;
}

std::optional<JobQueue::Job> JobQueue::waitPop() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return closed_ || !jobs_.empty(); });
    if (jobs_.empty()) {
        return std::nullopt;
    }
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    return job;
}

bool JobQueue::waitForJob(std::chrono::steady_clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    return changed_.wait_until(lock, deadline, [this] { return !jobs_.empty(); });
}

std::deque<JobQueue::Job> JobQueue::takeAll() {
    std::lock_guard lock(mutex_);
    return std::exchange(jobs_, {});
}

void JobQueue::close() {
    {
        std::lock_guard lock(mutex_);
        closed_ = true;
    }
    changed_.notify_all();
}

std::size_t JobQueue::size() const {
    std::lock_guard lock(mutex_);
    return jobs_.size();
}

} // namespace platform::detail
