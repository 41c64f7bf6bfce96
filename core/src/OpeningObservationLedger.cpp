#include "tidewright/core/OpeningObservationLedger.hpp"

namespace tidewright {

namespace {

OpeningBaseline baselineFor(OpeningWindowPresence presence) noexcept {
    switch (presence) {
    case OpeningWindowPresence::none:
        return OpeningBaseline::noWindows;
    case OpeningWindowPresence::one:
    case OpeningWindowPresence::several:
        return OpeningBaseline::hasWindows;
    case OpeningWindowPresence::unknown:
        break;
    }
    return OpeningBaseline::unknown;
}

} // namespace

std::optional<std::unordered_set<WindowID>>
OpeningObservationLedger::consistentIdentities(const std::vector<OpeningObservedWindow>& windows) const {
    std::unordered_set<WindowID> identities;
    for (const auto& window : windows) {
        if (window.id.process != process_ || !identities.insert(window.id).second) {
            return std::nullopt;
        }
    }
    return identities;
}

std::optional<OpeningInventoryDelta>
OpeningObservationLedger::observe(std::optional<std::vector<OpeningObservedWindow>> windows,
                                  OpeningWindowPresence presence) {
    auto identities = windows ? consistentIdentities(*windows) : std::nullopt;
    if (!identities) {
        baseline_ = OpeningBaseline::unknown;
        return std::nullopt;
    }
    std::unordered_set<WindowID> notPreviouslyObserved;
    for (const auto& id : *identities) {
        if (known_.insert(id).second) {
            notPreviouslyObserved.insert(id);
        }
    }
    baseline_ = baselineFor(presence);
    return OpeningInventoryDelta{std::move(*windows), std::move(notPreviouslyObserved), presence};
}

bool OpeningObservationLedger::rememberIdentities(
    const std::optional<std::vector<OpeningObservedWindow>>& windows) {
    const auto identities = windows ? consistentIdentities(*windows) : std::nullopt;
    if (!identities) {
        return false;
    }
    known_.insert(identities->begin(), identities->end());
    return true;
}

} // namespace tidewright
