#pragma once
// The continuous clock's timers on the Qt event loop, over a CLOCK_BOOTTIME timerfd, so a sleep
// that spans a suspend of the machine ends at its instant rather than late.

#include <memory>

#include "platform/concurrency/Clock.hpp"

namespace platform {

class LoopDescriptor;

class LiveClock final : public Clock {
public:
    // REQUIRES: a QCoreApplication exists; called on its thread, which is the clock's thread.
    LiveClock();
    ~LiveClock() override;
    LiveClock(const LiveClock&) = delete;
    LiveClock& operator=(const LiveClock&) = delete;

    ContinuousInstant now() const override { return ContinuousClock::now(); }
    TimerID startTimer(ContinuousInstant at, std::function<void()> fire) override;
    void cancelTimer(TimerID id) override;

private:
    void fireDue();
    void arm();

    detail::TimerQueue timers_;
    std::unique_ptr<LoopDescriptor> timer_;
};

} // namespace platform
