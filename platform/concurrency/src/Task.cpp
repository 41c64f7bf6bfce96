#include "platform/concurrency/Task.hpp"

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace platform {
namespace detail {
namespace {

thread_local TaskCore* runningTask = nullptr;
std::atomic<std::size_t> unfinished{0};

} // namespace

TaskCore::~TaskCore() {
    if (counted_) {
        unfinished.fetch_sub(1, std::memory_order_relaxed);
    }
}

void TaskCore::started() noexcept {
    counted_ = true;
    unfinished.fetch_add(1, std::memory_order_relaxed);
}

void TaskCore::resumeLater(std::shared_ptr<TaskCore> task, std::coroutine_handle<> handle) {
    Executor& executor = task->executor_;
    executor.post([task = std::move(task), handle] { task->resumeNow(handle); });
}

void TaskCore::resumeNow(std::coroutine_handle<> handle) {
    TaskCore* outer = std::exchange(runningTask, this);
    handle.resume();
    runningTask = outer;
}

void TaskCore::join(std::shared_ptr<TaskCore> waiter, std::coroutine_handle<> handle) {
    if (finished_) {
        resumeLater(std::move(waiter), handle);
    } else {
        joiners_.emplace_back(std::move(waiter), handle);
    }
}

void TaskCore::finish() {
    finished_ = true;
    if (std::exchange(counted_, false)) {
        unfinished.fetch_sub(1, std::memory_order_relaxed);
    }
    for (auto& [waiter, handle] : std::exchange(joiners_, {})) {
        resumeLater(std::move(waiter), handle);
    }
}

TaskCore* currentTask() noexcept {
    return runningTask;
}

TaskCore& requireCurrentTask() noexcept {
    if (runningTask == nullptr) {
        std::fputs("platform: a coroutine suspended outside every task\n", stderr);
        std::abort();
    }
    return *runningTask;
}

} // namespace detail

std::size_t unfinishedTasks() noexcept {
    return detail::unfinished.load(std::memory_order_relaxed);
}

bool isCancelled() noexcept {
    const auto* task = detail::currentTask();
    return task != nullptr && task->isCancelled();
}

std::stop_token currentStopToken() noexcept {
    const auto* task = detail::currentTask();
    return task != nullptr ? task->stopToken() : std::stop_token{};
}

void checkCancellation() {
    if (isCancelled()) {
        throw CancellationError{};
    }
}

} // namespace platform
