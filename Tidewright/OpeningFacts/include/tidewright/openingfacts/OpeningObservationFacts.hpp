#pragma once
// The app model's present answer to: may opening rules act now, for which applications, and which
// process is in front. Consumers ask for a fresh value whenever they need the truth.

#include <cstdint>
#include <optional>
#include <unordered_map>

#include "tidewright/core/Identities.hpp"
#include "tidewright/core/OpeningAction.hpp"

namespace tidewright {

struct OpeningObservationFacts {
    bool operationAllowed = false;
    // Rises whenever the decision, the preference summary, the permission or the frontmost
    // application changes: an unchanged value means nothing that matters has changed.
    std::uint64_t generation = 0;
    std::optional<ProcessID> frontmost;
    std::unordered_map<BundleID, OpeningAction> rules;

    // Rules compare as sets of pairs, whatever order they were inserted in.
    bool operator==(const OpeningObservationFacts&) const = default;
};

} // namespace tidewright
