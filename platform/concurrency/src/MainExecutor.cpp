#include "platform/concurrency/MainExecutor.hpp"

#include <QSocketNotifier>

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

namespace platform {
namespace {

void runJob(const std::function<void()>& job) noexcept {
    job();
}

} // namespace

MainExecutor::MainExecutor() {
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0) {
        throw std::system_error(errno, std::generic_category(), "eventfd");
    }
    notifier_ = std::make_unique<QSocketNotifier>(wakeFd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [this] { drain(); });
}

MainExecutor::~MainExecutor() {
    notifier_.reset();
    close(wakeFd_);
    // Dropping a pending resumption may end a task that posts again; let it land in an empty queue.
    std::deque<std::function<void()>> doomed;
    {
        std::lock_guard lock(mutex_);
        doomed.swap(jobs_);
    }
}

void MainExecutor::post(std::function<void()> job) {
    bool wake = false;
    {
        std::lock_guard lock(mutex_);
        wake = jobs_.empty();
        jobs_.push_back(std::move(job));
    }
    if (wake) {
        const std::uint64_t one = 1;
        (void)write(wakeFd_, &one, sizeof one);
    }
}

void MainExecutor::drain() {
    // Read the wake-up first: a job posted after the batch is taken writes a new one.
    std::uint64_t wakes = 0;
    (void)read(wakeFd_, &wakes, sizeof wakes);
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard lock(mutex_);
        batch.swap(jobs_);
    }
    // Only this batch runs now; what it posts waits for the next turn of the loop.
    for (auto& job : batch) {
        runJob(job);
        job = nullptr;
    }
}

} // namespace platform
