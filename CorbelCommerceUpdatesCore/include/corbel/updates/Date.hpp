#pragma once
// A moment on the wall clock as finite seconds since 1970, the form in which dates are stored.
// Kept as a double rather than a clock's time point: a stored date comes from a user-writable file,
// and a far-future one must stay comparable without overflowing a tick count.

#include <chrono>
#include <cmath>
#include <compare>
#include <optional>

namespace corbel {

class Date {
public:
    // The date, or nothing for a value that is not finite.
    static std::optional<Date> fromSecondsSince1970(double seconds) noexcept {
        if (!std::isfinite(seconds)) {
            return std::nullopt;
        }
        return Date(seconds);
    }
    // A wall clock's reading; always finite.
    static Date fromSystemClock(std::chrono::system_clock::time_point instant) noexcept {
        return Date(std::chrono::duration<double>(instant.time_since_epoch()).count());
    }

    double secondsSince1970() const noexcept { return seconds_; }

    auto operator<=>(const Date&) const = default;

private:
    explicit Date(double seconds) noexcept : seconds_(seconds) {}
    double seconds_;
};

} // namespace corbel
