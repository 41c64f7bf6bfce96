#pragma once
// A serial queue on one worker thread of its own.

#include <string>

#include "platform/concurrency/WorkQueue.hpp"
#include "platform/concurrency/WorkerThreads.hpp"

namespace platform {

class LiveSerialQueue final : public SerialQueue {
public:
    // label names the worker thread for debuggers (its last dotted part, at most 15 characters).
    explicit LiveSerialQueue(std::string label) : worker_(1, std::move(label)) {}

    void submit(std::function<void()> job) override { worker_.submit(std::move(job)); }

private:
    detail::WorkerThreads worker_;
};

} // namespace platform
