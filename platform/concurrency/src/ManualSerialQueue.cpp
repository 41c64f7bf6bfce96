#include "platform/concurrency/ManualSerialQueue.hpp"

namespace platform {

ManualSerialQueue::~ManualSerialQueue() {
    // Dropping a job releases its awaiting task, which may submit again while it ends.
    std::deque<std::function<void()>> doomed;
    std::lock_guard lock(mutex_);
    doomed.swap(jobs_);
}

void ManualSerialQueue::submit(std::function<void()> job) {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
}

bool ManualSerialQueue::step() {
    std::function<void()> job;
    {
        std::lock_guard lock(mutex_);
        if (jobs_.empty()) {
            return false;
        }
        job = std::move(jobs_.front());
        jobs_.pop_front();
    }
    job();
    return true;
}

std::size_t ManualSerialQueue::pendingJobs() const {
    std::lock_guard lock(mutex_);
    return jobs_.size();
}

} // namespace platform
