#include "corbel/updates/UpdateSchedule.hpp"

namespace corbel::UpdateSchedule {

namespace {

bool inQuietPeriod(Date at, double wait, Date now) noexcept {
    const double start = at.secondsSince1970();
    const double current = now.secondsSince1970();
    // Both are finite. The elapsed time is measured rather than the end computed: start + wait
    // would round to start for a date far in the future, and the difference of two finite dates
    // overflows only to infinity, which is past any wait.
    return start <= current && current - start < wait;
}

} // namespace

bool isDue(const Last& last, Date now) noexcept {
    if (const auto* answered = std::get_if<Answered>(&last)) {
        return !inQuietPeriod(answered->at, afterAnswer, now);
    }
    if (const auto* failed = std::get_if<Failed>(&last)) {
        return !inQuietPeriod(failed->at, afterFailure, now);
    }
    return true;
}

} // namespace corbel::UpdateSchedule
