#pragma once
// Worker threads taking jobs from one shared queue; with one thread, a serial queue.

#include <cstddef>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "platform/concurrency/JobQueue.hpp"

namespace platform::detail {

class WorkerThreads {
public:
    WorkerThreads(std::size_t threads, std::string label);
    // Runs every job already queued, then joins the threads.
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // Safe for concurrent access.
    void submit(std::function<void()> job) { jobs_.push(std::move(job)); }

private:
    JobQueue jobs_;
    std::vector<std::thread> threads_;
};

} // namespace platform::detail
