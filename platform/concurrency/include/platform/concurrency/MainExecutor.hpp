#pragma once
// The main executor: jobs run on the thread of the Qt event loop, the main actor of the system.

#include <memory>

#include "platform/concurrency/Executor.hpp"
#include "platform/concurrency/JobQueue.hpp"

namespace platform {

class LoopDescriptor;

// Jobs wait in a queue of our own and an eventfd wakes the loop, so no Qt object is ever touched
// from another thread.
class MainExecutor final : public Executor {
public:
    // REQUIRES: a QCoreApplication exists; called on its thread.
    MainExecutor();
    ~MainExecutor() override;
    MainExecutor(const MainExecutor&) = delete;
    MainExecutor& operator=(const MainExecutor&) = delete;

    void post(std::function<void()> job) override;

private:
    void drain();

    std::unique_ptr<LoopDescriptor> wake_;
    detail::JobQueue jobs_; // dropped first: a dropped job may post once more
};

} // namespace platform
