#pragma once
// A serial queue whose jobs a test runs one by one on its own thread. It also stands in for a
// thread pool, since one job at a time is a valid schedule of one.

#include <cstddef>

#include "platform/concurrency/JobQueue.hpp"
#include "platform/concurrency/WorkQueue.hpp"

namespace platform {

class ManualSerialQueue final : public SerialQueue {
public:
    void submit(std::function<void()> job) override { jobs_.push(std::move(job)); }

    // Runs the oldest queued job; answers false when none was queued. The awaiting task resumes
    // only when its executor runs next.
    bool step();
    std::size_t pendingJobs() const { return jobs_.size(); }

private:
    detail::JobQueue jobs_;
};

} // namespace platform
