#pragma once
// The continuous clock, which keeps counting while the machine is suspended, the timer interface
// that clocks implement, and the cancellable sleeps of tasks.

#include <chrono>
#include <coroutine>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stop_token>

#include "platform/concurrency/ContinuousClock.hpp"
#include "platform/concurrency/Task.hpp"

namespace platform {

// A source of continuous-clock instants with one-shot timers: live, or advanced by a test.
class Clock {
public:
    using TimerID = std::uint64_t;

    virtual ~Clock() = default;

    // Safe for concurrent access.
    virtual ContinuousInstant now() const = 0;

    // Calls fire once, on the clock's thread, once the clock has reached at.
    // REQUIRES: on the clock's thread (the main thread); fire does not throw.
    virtual TimerID startTimer(ContinuousInstant at, std::function<void()> fire) = 0;
    // Forgets a timer that has not fired; nothing for one that fired or was cancelled.
    // REQUIRES: on the clock's thread.
    virtual void cancelTimer(TimerID id) = 0;
};

namespace detail {

// Pending timers by instant, ties by creation; shared by the live and the manual clock.
class TimerQueue {
public:
    Clock::TimerID add(ContinuousInstant at, std::function<void()> fire);
    void cancel(Clock::TimerID id);
    std::optional<ContinuousInstant> earliest() const;
    // Removes and returns the earliest timer due at now, if any.
    std::optional<std::function<void()>> popDue(ContinuousInstant now);
    std::size_t size() const { return timers_.size(); }

private:
    std::map<std::pair<ContinuousInstant, Clock::TimerID>, std::function<void()>> timers_;
    std::map<Clock::TimerID, ContinuousInstant> instants_;
    Clock::TimerID next_ = 1;
};

struct SleepState;

// Posts the end of a sleep cut short by cancellation; runs on the thread that cancels.
struct SleepCancellation {
    std::weak_ptr<SleepState> state;
    Executor* executor;
    void operator()() const;
};

class SleepAwaiter {
public:
    SleepAwaiter(Clock& clock, ContinuousInstant at) : clock_(clock), at_(at) {}
    bool await_ready() const noexcept;
    void await_suspend(std::coroutine_handle<> handle);
    void await_resume() const;

private:
    Clock& clock_;
    ContinuousInstant at_;
    bool cancelled_ = true; // a sleep that never suspends was cancelled before it began
    std::optional<std::stop_callback<SleepCancellation>> onCancel_;
};

} // namespace detail

// Suspends the current task until clock reaches at. Throws CancellationError at once when the
// task is cancelled before or during the sleep. Resumes through the task's executor. An ordinary
// async function, so a service can keep it as its injected wait.
// REQUIRES: awaited in a task on the clock's thread.
Async<> sleepUntil(Clock& clock, ContinuousInstant at);
// The instant is taken when this is called.
Async<> sleepFor(Clock& clock, ContinuousDuration duration);

} // namespace platform
