#include "platform/concurrency/MainExecutor.hpp"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

#include "platform/concurrency/LoopDescriptor.hpp"

namespace platform {
namespace {

void runJob(const std::function<void()>& job) noexcept {
    job();
}

} // namespace

MainExecutor::MainExecutor()
    : wake_(std::make_unique<LoopDescriptor>(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC), "eventfd",
                                             [this] { drain(); })) {}

MainExecutor::~MainExecutor() = default;

void MainExecutor::post(std::function<void()> job) {
    if (jobs_.push(std::move(job))) {
        const std::uint64_t one = 1;
        (void)write(wake_->fd(), &one, sizeof one);
    }
}

void MainExecutor::drain() {
    // Read the wake-up first: a job posted after the batch is taken writes a new one.
    std::uint64_t wakes = 0;
    (void)read(wake_->fd(), &wakes, sizeof wakes);
    // Only this batch runs now; what it posts waits for the next turn of the loop.
    for (auto& job : jobs_.takeAll()) {
        runJob(job);
        job = nullptr;
    }
}

} // namespace platform
