#pragma once
// The clock every X wait is bounded by, and the window id as callers outside the xcb layer hold it
// (the same 32-bit value as xcb_window_t, without the xcb headers).

#include <chrono>
#include <cstdint>

namespace platform::x11 {

using Clock = std::chrono::steady_clock;
using Deadline = Clock::time_point;

using WindowId = std::uint32_t;
inline constexpr WindowId noWindow = 0;

} // namespace platform::x11
