#include "platform/concurrency/ManualClock.hpp"

namespace platform {

ManualClock::ManualClock(ManualExecutor& executor, ContinuousInstant start)
    : executor_(executor), now_(start.time_since_epoch().count()) {}

ManualClock::~ManualClock() {
    // Callbacks that end tasks may cancel other timers while they are destroyed.
    auto doomed = std::move(timers_);
    timers_ = {};
}

ContinuousInstant ManualClock::now() const {
    return ContinuousInstant{ContinuousDuration{now_.load()}};
}

void ManualClock::setNow(ContinuousInstant instant) {
    now_.store(instant.time_since_epoch().count());
}

Clock::TimerID ManualClock::startTimer(ContinuousInstant at, std::function<void()> fire) {
    return timers_.add(at, std::move(fire));
}

void ManualClock::cancelTimer(TimerID id) {
    timers_.cancel(id);
}

void ManualClock::advance(ContinuousDuration duration) {
    const ContinuousInstant end = now() + duration;
    // What is already queued happens now, before time moves: a cancellation posted before the
    // advance ends its sleep at this instant, not as elapsed at the timer's.
    executor_.runUntilIdle();
    while (const auto next = timers_.earliest()) {
        if (*next > end) {
            break;
        }
        if (*next > now()) {
            setNow(*next);
        }
        if (auto fire = timers_.popDue(now())) {
            (*fire)();
        }
        executor_.runUntilIdle();
    }
    setNow(end);
    executor_.runUntilIdle();
}

} // namespace platform
