#pragma once
// The opening-rules model as the app model drives it: its running state, the usable rules it is
// handed, and the rebuild when the running applications change; and as the preferences show it:
// its two lists, their rebuilds, and the user's edits.

#include <functional>
#include <map>
#include <vector>

#include "platform/observation/Subscription.hpp"
#include "tidewright/applications/TidewrightOpenAppPresentation.hpp"
#include "tidewright/applications/TidewrightRulePresentation.hpp"
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

    // The usable rules in rule order, and the running applications in the catalog's order.
    virtual const std::vector<TidewrightRulePresentation>& rules() const = 0;
    virtual const std::vector<TidewrightOpenAppPresentation>& openApps() const = 0;
    // observer hears of every rebuild of the lists, changed or not, until the token ends.
    virtual platform::Subscription observeLists(std::function<void()> observer) = 0;
    // Each an edit handed to the preference repository; it comes back through apply().
    virtual void addRule(const BundleID& app) = 0;
    virtual void setAction(const BundleID& app, OpeningAction action) = 0;
    virtual void removeRule(const BundleID& app) = 0;
    // Lets the user choose applications: only while running and with no choice in flight; the
    // choice's task holds the model weakly.
    virtual void presentChooser() = 0;
};

} // namespace tidewright
