#pragma once
// When the next check of the update feed is due, from what the last check did.

#include <variant>

#include "corbel/updates/Date.hpp"

namespace corbel::UpdateSchedule {

// How long to wait after the site last answered (15 days), and after a check in which it did not
// (1 hour), in seconds.
inline constexpr double afterAnswer = 1'296'000;
inline constexpr double afterFailure = 3'600;

// What the last check did.
struct Answered {
    Date at;
    bool operator==(const Answered&) const = default;
};
struct Failed {
    Date at;
    bool operator==(const Failed&) const = default;
};
struct Never {
    bool operator==(const Never&) const = default;
};
using Last = std::variant<Answered, Failed, Never>;

// Whether a check is due at now: always after Never; otherwise unless now lies in the half-open
// quiet period [at, at + wait). So a clock set back before the last check makes one due at once.
bool isDue(const Last& last, Date now) noexcept;

} // namespace corbel::UpdateSchedule
