#include "platform/concurrency/ManualExecutor.hpp"

namespace platform {

std::size_t ManualExecutor::runUntilIdle() {
    std::size_t ran = 0;
    while (auto job = jobs_.tryPop()) {
        (*job)();
        ++ran;
    }
    return ran;
}

bool ManualExecutor::runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        runUntilIdle();
        if (done()) {
            return true;
        }
        if (!jobs_.waitForJob(deadline)) {
            return done();
        }
    }
}

} // namespace platform
