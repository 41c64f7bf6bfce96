#pragma once
// A serial queue whose jobs a test runs one by one on its own thread. It also stands in for a
// thread pool, since one job at a time is a valid schedule of one.

#include <cstddef>
#include <deque>
#include <mutex>

#include "platform/concurrency/WorkQueue.hpp"

namespace platform {

class ManualSerialQueue final : public SerialQueue {
public:
    ~ManualSerialQueue() override;

    void submit(std::function<void()> job) override;

    // Runs the oldest queued job; answers false when none was queued. The awaiting task resumes
    // only when its executor runs next.
    bool step();
    std::size_t pendingJobs() const;

private:
    mutable std::mutex mutex_;
    std::deque<std::function<void()>> jobs_;
};

} // namespace platform
