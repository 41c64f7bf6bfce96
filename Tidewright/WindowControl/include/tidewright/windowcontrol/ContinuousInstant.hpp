#pragma once
// Instants of the continuous clock: nanoseconds of CLOCK_BOOTTIME, which keeps counting while the
// machine sleeps. Deadlines of window operations are such instants; the clocks live in the runtime.

#include <chrono>
#include <cstdint>
#include <ratio>

namespace tidewright {

// The time line of continuous instants. It reads no clock itself: it only keeps these instants apart
// from those of the wall clock and of the monotonic clock at the type level.
struct ContinuousTimeline {
    using rep = std::int64_t;
    using period = std::nano;
    using duration = std::chrono::nanoseconds;
    using time_point = std::chrono::time_point<ContinuousTimeline, duration>;
    static constexpr bool is_steady = true;
};

using ContinuousDuration = ContinuousTimeline::duration;
using ContinuousInstant = ContinuousTimeline::time_point;

} // namespace tidewright
