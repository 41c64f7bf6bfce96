#pragma once
// A continuous clock that moves only when a test advances it.

#include <atomic>

#include "platform/concurrency/Clock.hpp"
#include "platform/concurrency/ManualExecutor.hpp"

namespace platform {

class ManualClock final : public Clock {
public:
    // Starts at a fixed instant well after the clock's epoch.
    explicit ManualClock(ManualExecutor& executor,
                         ContinuousInstant start = ContinuousInstant{std::chrono::hours{1}});
    ~ManualClock() override;
    ManualClock(const ManualClock&) = delete;
    ManualClock& operator=(const ManualClock&) = delete;

    ContinuousInstant now() const override;
    TimerID startTimer(ContinuousInstant at, std::function<void()> fire) override;
    void cancelTimer(TimerID id) override;

    // Runs the jobs already queued, then moves the clock forward by duration, firing every timer
    // due on the way in instant order, ties in order of creation. The clock stands at each
    // timer's instant while it fires and the executor runs until idle after each, so a sleep
    // started by a woken task fires in the same advance when it is due by its end.
    // REQUIRES: duration is not negative.
    void advance(ContinuousDuration duration);

    std::size_t pendingTimers() const { return timers_.size(); }

private:
    void setNow(ContinuousInstant instant);

    ManualExecutor& executor_;
    std::atomic<ContinuousClock::rep> now_;
    detail::TimerQueue timers_;
};

} // namespace platform
