#include "platform/concurrency/Clock.hpp"

#include <ctime>

namespace platform {

ContinuousClock::time_point ContinuousClock::now() noexcept {
    timespec reading{};
    clock_gettime(CLOCK_BOOTTIME, &reading);
    return time_point{std::chrono::seconds{reading.tv_sec} + std::chrono::nanoseconds{reading.tv_nsec}};
}

namespace detail {

Clock::TimerID TimerQueue::add(ContinuousInstant at, std::function<void()> fire) {
    const Clock::TimerID id = next_++;
    timers_.emplace(std::pair{at, id}, std::move(fire));
    instants_.emplace(id, at);
    return id;
}

void TimerQueue::cancel(Clock::TimerID id) {
    const auto found = instants_.find(id);
    if (found == instants_.end()) {
        return;
    }
    // Keep the callback alive until both maps are consistent: destroying it may end a task.
    auto node = timers_.extract(std::pair{found->second, id});
    instants_.erase(found);
}

std::optional<ContinuousInstant> TimerQueue::earliest() const {
    if (timers_.empty()) {
        return std::nullopt;
    }
    return timers_.begin()->first.first;
}

std::optional<std::function<void()>> TimerQueue::popDue(ContinuousInstant now) {
    if (timers_.empty() || timers_.begin()->first.first > now) {
        return std::nullopt;
    }
    auto node = timers_.extract(timers_.begin());
    instants_.erase(node.key().second);
    return std::move(node.mapped());
}

struct SleepState {
    Clock* clock;
    Clock::TimerID timer = 0;
    std::shared_ptr<TaskCore> task; // held until the sleep ends, then handed to the resumption
    std::coroutine_handle<> handle;
    bool* cancelled; // the awaiter's flag, alive while task is held

    void finish(bool byCancellation) {
        if (!task) {
            return;
        }
        auto owner = std::move(task);
        *cancelled = byCancellation;
        if (byCancellation) {
            clock->cancelTimer(timer);
        }
        TaskCore::resumeLater(std::move(owner), handle);
    }
};

void SleepCancellation::operator()() const {
    executor->post([state = state] {
        if (auto live = state.lock()) {
            live->finish(true);
        }
    });
}

bool SleepAwaiter::await_ready() const noexcept {
    return isCancelled();
}

void SleepAwaiter::await_suspend(std::coroutine_handle<> handle) {
    TaskCore& task = requireCurrentTask();
    cancelled_ = false;
    if (at_ <= clock_.now()) {
        TaskCore::resumeLater(task.shared_from_this(), handle);
        return;
    }
    auto state =
        std::make_shared<SleepState>(SleepState{&clock_, 0, task.shared_from_this(), handle, &cancelled_});
    // The timer holds the sleep; the cancellation only finds it, so a clock that is destroyed
    // with the timer pending releases the task.
    state->timer = clock_.startTimer(at_, [state] { state->finish(false); });
    onCancel_.emplace(task.stopToken(), SleepCancellation{state, &task.executor()});
}

void SleepAwaiter::await_resume() const {
    if (cancelled_) {
        throw CancellationError{};
    }
}

} // namespace detail

Async<> sleepUntil(Clock& clock, ContinuousInstant at) {
    co_await detail::SleepAwaiter(clock, at);
}

Async<> sleepFor(Clock& clock, ContinuousDuration duration) {
    return sleepUntil(clock, clock.now() + duration);
}

} // namespace platform
