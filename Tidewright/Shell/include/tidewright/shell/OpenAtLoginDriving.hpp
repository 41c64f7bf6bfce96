#pragma once
// Open at login as the app model drives it: its running state, a fresh read after the settings,
// and the hook at the end of each change; and as the views' switch shows and sets it.

#include <functional>

#include "platform/observation/Subscription.hpp"
#include "tidewright/shell/LoginState.hpp"

namespace tidewright {

// Main thread only; the hook is called on the main thread.
class OpenAtLoginDriving {
public:
    virtual ~OpenAtLoginDriving() = default;
    virtual void start() = 0;
    // Also cancels a change in flight.
    virtual void stop() = 0;
    // Re-reads the login state while running.
    virtual void refresh() = 0;

    virtual LoginState loginState() const = 0;
    // observer hears of every change of loginState() until the token ends.
    virtual platform::Subscription observeState(std::function<void(const LoginState&)> observer) = 0;
    // While running and with no change in flight, starts a change task that holds the service
    // weakly; otherwise the request is dropped, not queued.
    virtual void requestChange(bool enabled) = 0;

    // The end of a change: true when it succeeded.
    std::function<void(bool)> onResult;
};

} // namespace tidewright
