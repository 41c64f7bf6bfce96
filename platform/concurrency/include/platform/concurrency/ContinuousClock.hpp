#pragma once
// CLOCK_BOOTTIME as a std::chrono clock: it keeps counting while the machine is suspended, so
// deadlines and sleeps measured on it stay true across a suspend.

#include <chrono>
#include <cstdint>

namespace platform {

struct ContinuousClock {
    using rep = std::int64_t;
    using period = std::nano;
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<ContinuousClock>;
    static constexpr bool is_steady = true;
    static time_point now() noexcept;
};

using ContinuousInstant = ContinuousClock::time_point;
using ContinuousDuration = ContinuousClock::duration;

} // namespace platform
