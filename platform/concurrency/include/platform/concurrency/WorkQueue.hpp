#pragma once
// Work off the main thread: a queue of blocking jobs whose results come back to the awaiting task
// on its own executor, as values, so no exception crosses a thread.

#include <coroutine>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

#include "platform/concurrency/Task.hpp"

namespace platform {

class WorkQueue;

namespace detail {

template <class F>
class WorkAwaiter {
public:
    using Value = std::invoke_result_t<F&>;

    WorkAwaiter(WorkQueue& queue, F job) : queue_(queue), job_(std::move(job)) {}

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> handle);
    Value await_resume() { return outcome_.take(); }

private:
    WorkQueue& queue_;
    F job_; // stays in the awaiting frame, so its captures are destroyed on the executor's thread
    Outcome<Value> outcome_;
};

} // namespace detail

class WorkQueue {
public:
    virtual ~WorkQueue() = default;

    // Queues job to run on one of the queue's threads. Safe for concurrent access.
    // REQUIRES: job does not throw.
    virtual void submit(std::function<void()> job) = 0;

    // Suspends the current task, runs job on the queue and resumes the task through its executor
    // with the job's value, or rethrows the job's error there. The wait is not cut short by the
    // task's cancellation: the job always runs to its end and is always awaited.
    // REQUIRES: awaited in a task; job is safe to run on another thread.
    template <class F>
    detail::WorkAwaiter<F> run(F job) {
        return {*this, std::move(job)};
    }
};

// A queue that runs one job at a time, in submission order.
class SerialQueue : public WorkQueue {};

template <class F>
void detail::WorkAwaiter<F>::await_suspend(std::coroutine_handle<> handle) {
    queue_.submit([this, task = requireCurrentTask().shared_from_this(), handle]() mutable {
        outcome_.capture(job_);
        // The worker keeps no reference to the task: its frame must end on the executor.
        TaskCore::resumeLater(std::move(task), handle);
    });
}

} // namespace platform
