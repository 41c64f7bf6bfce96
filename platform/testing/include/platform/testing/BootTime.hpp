#pragma once
// The continuous clock's reading (CLOCK_BOOTTIME, counting through suspend), for live tests and
// benchmarks that build real deadlines.

#include <time.h>

#include <chrono>

namespace platform::testing {

inline std::chrono::nanoseconds bootTime() {
    timespec now{};
    ::clock_gettime(CLOCK_BOOTTIME, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

} // namespace platform::testing
