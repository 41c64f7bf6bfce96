#include "platform/concurrency/LiveClock.hpp"

#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>

#include "platform/concurrency/LoopDescriptor.hpp"

namespace platform {

LiveClock::LiveClock()
    : timer_(std::make_unique<LoopDescriptor>(timerfd_create(CLOCK_BOOTTIME, TFD_NONBLOCK | TFD_CLOEXEC),
                                              "timerfd_create(CLOCK_BOOTTIME)", [this] { fireDue(); })) {}

LiveClock::~LiveClock() {
    timer_.reset();
    // Callbacks that end tasks may cancel other timers while they are destroyed.
    auto doomed = std::move(timers_);
    timers_ = {};
}

Clock::TimerID LiveClock::startTimer(ContinuousInstant at, std::function<void()> fire) {
    const TimerID id = timers_.add(at, std::move(fire));
    if (timers_.earliest() == at) {
        arm();
    }
    return id;
}

void LiveClock::cancelTimer(TimerID id) {
    timers_.cancel(id);
    arm();
}

void LiveClock::fireDue() {
    std::uint64_t expirations = 0;
    (void)read(timer_->fd(), &expirations, sizeof expirations);
    while (auto fire = timers_.popDue(now())) {
        (*fire)();
    }
    arm();
}

void LiveClock::arm() {
    if (!timer_) {
        return; // being destroyed
    }
    itimerspec setting{};
    if (const auto earliest = timers_.earliest()) {
        // Zero would disarm the timer; an instant that has passed fires at once.
        const auto ns = std::max<ContinuousClock::rep>(earliest->time_since_epoch().count(), 1);
        setting.it_value.tv_sec = static_cast<time_t>(ns / 1'000'000'000);
        setting.it_value.tv_nsec = static_cast<long>(ns % 1'000'000'000);
    }
    timerfd_settime(timer_->fd(), TFD_TIMER_ABSTIME, &setting, nullptr);
}

} // namespace platform
