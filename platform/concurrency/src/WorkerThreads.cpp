#include "platform/concurrency/WorkerThreads.hpp"

#include <pthread.h>

#include <algorithm>

namespace platform::detail {

WorkerThreads::WorkerThreads(std::size_t threads, std::string label) {
    label.resize(std::min<std::size_t>(label.size(), 15)); // the kernel's limit for thread names
    threads_.reserve(threads);
    for (std::size_t index = 0; index < threads; ++index) {
        threads_.emplace_back([this] { work(); });
        pthread_setname_np(threads_.back().native_handle(), label.c_str());
    }
}

WorkerThreads::~WorkerThreads() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    ready_.notify_all();
    for (auto& thread : threads_) {
        thread.join();
    }
}

void WorkerThreads::submit(std::function<void()> job) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(job));
    }
    ready_.notify_one();
}

void WorkerThreads::work() {
    while (true) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            ready_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (jobs_.empty()) {
                return;
            }
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

} // namespace platform::detail
