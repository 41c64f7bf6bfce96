#pragma once
// Worker threads taking jobs from one shared queue; with one thread, a serial queue.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform::detail {

class WorkerThreads {
public:
    WorkerThreads(std::size_t threads, std::string label);
    // Runs every job already queued, then joins the threads.
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // Safe for concurrent access.
    void submit(std::function<void()> job);

private:
    void work();

    std::mutex mutex_;
    std::condition_variable ready_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::vector<std::thread> threads_;
};

} // namespace platform::detail
