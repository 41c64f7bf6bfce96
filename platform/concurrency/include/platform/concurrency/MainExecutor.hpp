#pragma once
// The main executor: jobs run on the thread of the Qt event loop, the main actor of the system.

#include <deque>
#include <memory>
#include <mutex>

#include "platform/concurrency/Executor.hpp"

class QSocketNotifier;

namespace platform {

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

    int wakeFd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
    std::mutex mutex_;
    std::deque<std::function<void()>> jobs_;
};

} // namespace platform
