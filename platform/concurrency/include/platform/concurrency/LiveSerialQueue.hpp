#pragma once
// A serial queue on one worker thread of its own.

#include <string>

#include "platform/concurrency/WorkQueue.hpp"
#include "platform/concurrency/WorkerThreads.hpp"

namespace platform {

class LiveSerialQueue final : public SerialQueue {
public:
    // label names the worker thread (its first 15 characters) for debuggers.
    explicit LiveSerialQueue(std::string label) : worker_(1, std::move(label)) {}

    void submit(std::function<void()> job) override { worker_.submit(std::move(job)); }

private:
    detail::WorkerThreads worker_;
};

} // namespace platform
