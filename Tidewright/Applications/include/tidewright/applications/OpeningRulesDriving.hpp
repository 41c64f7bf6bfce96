#pragma once
// The opening-rules model as the app model drives it: its running state, the usable rules it is
// handed, and the rebuild when the running applications change.

#include <map>

#include "tidewright/core/Identities.hpp"
#include "tidewright/core/OpeningAction.hpp"

namespace tidewright {

// Main thread only.
class OpeningRulesDriving {
public:
    virtual ~OpeningRulesDriving() = default;
    virtual void start() = 0;
    // Also cancels a pending application choice.
    virtual void stop() = 0;
    // Stores the usable rules and rebuilds the lists.
    virtual void apply(std::map<BundleID, OpeningAction> usableRules) = 0;
    // Rebuilds the lists from the catalog and the rules last applied.
    virtual void refresh() = 0;
    virtual void cancelChooser() = 0;
};

} // namespace tidewright
