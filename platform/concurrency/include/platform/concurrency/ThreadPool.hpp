#pragma once
// Threads for detached work: jobs run concurrently, in no promised order.

#include <cstddef>
#include <string>

#include "platform/concurrency/WorkQueue.hpp"
#include "platform/concurrency/WorkerThreads.hpp"

namespace platform {

class ThreadPool final : public WorkQueue {
public:
    // REQUIRES: threads > 0.
    explicit ThreadPool(std::size_t threads, std::string label = "platform-pool")
        : workers_(threads, std::move(label)) {}

    void submit(std::function<void()> job) override { workers_.submit(std::move(job)); }

private:
    detail::WorkerThreads workers_;
};

} // namespace platform
