#pragma once
// How often this process waited for the X server, and for how long: what a window action costs in
// round trips. Kept for the benchmarks; each wait adds to relaxed atomics beside a poll().

#include <chrono>
#include <cstdint>

namespace platform::x11 {

struct ServerWaits {
    std::uint64_t replies = 0; // replies taken, whether they had arrived already or not
    // Trips to the server: replies to a request sent after the previous trip began. Requests sent
    // together share one trip however their answers trickle in, so the count does not depend on
    // the machine's speed.
    std::uint64_t roundTrips = 0;
    std::uint64_t eventWaits = 0;        // blocked waits for an event (the window manager's answers)
    std::chrono::nanoseconds blocked{0}; // time blocked in both kinds of wait
    std::uint64_t blockedReplies = 0;    // replies that had not arrived yet when taken

    friend ServerWaits operator+(ServerWaits a, const ServerWaits& b) {
        return {a.replies + b.replies, a.roundTrips + b.roundTrips, a.eventWaits + b.eventWaits,
                a.blocked + b.blocked, a.blockedReplies + b.blockedReplies};
    }
    friend ServerWaits operator-(ServerWaits a, const ServerWaits& b) {
        return {a.replies - b.replies, a.roundTrips - b.roundTrips, a.eventWaits - b.eventWaits,
                a.blocked - b.blocked, a.blockedReplies - b.blockedReplies};
    }
};

// The totals of every connection of this process so far.
ServerWaits serverWaits() noexcept;

} // namespace platform::x11
