#pragma once
// The coordinator's offer of one newly opened window to the execution owner: the action to apply
// to it while the facts still match the proposal's generation and before it expires.

#include <cstdint>

#include "platform/concurrency/ContinuousClock.hpp"
#include "tidewright/core/Geometry.hpp"
#include "tidewright/core/Identities.hpp"
#include "tidewright/core/OpeningAction.hpp"

namespace tidewright {

struct OpeningObservationProposal {
    // Its process is the process the action is for.
    WindowID candidateID;
    // The confirmed frame; the action may only touch the window while it still has exactly this.
    DesktopFrame expectedFrame;
    OpeningCycleID cycle;
    OpeningAction action;
    std::uint64_t generation;
    // The end of the opportunity, copied from its deadline.
    platform::ContinuousInstant expiresAt;

    // Memberwise; the frame's coordinates compare as floating-point numbers. A claim is accepted
    // only with a value equal to the stored proposal.
    bool operator==(const OpeningObservationProposal&) const = default;
};

} // namespace tidewright
