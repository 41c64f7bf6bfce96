#pragma once
// How views reach whatever offers updates, without knowing how updates are found: the offer, a hint
// that a check may be due, and the user's "not now". Main thread only.

#include <functional>
#include <optional>

#include "corbel/updates/AvailableUpdate.hpp"
#include "platform/observation/Subscription.hpp"

namespace corbel {

class UpdateNotifier {
public:
    using AvailableSubscriber = std::function<void(const std::optional<AvailableUpdate>&)>;

    virtual ~UpdateNotifier() = default;

    // The update on offer now, or none: nothing found, or the offer was set aside.
    virtual const std::optional<AvailableUpdate>& available() const = 0;
    // subscriber hears of every later change of available() while the token lives; an assignment
    // of an equal offer notifies nobody.
    virtual platform::Subscription observeAvailable(AvailableSubscriber subscriber) = 0;

    // A view is about to show the offer: check now if the notifier's own schedule says a check is
    // due, else do nothing. Returns at once; a result arrives later through available().
    virtual void checkIfDue() = 0;
    // The user declined the current offer: available() is none until something newer is offered.
    virtual void setAside() = 0;
};

} // namespace corbel
