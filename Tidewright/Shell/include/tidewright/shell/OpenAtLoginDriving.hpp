#pragma once
// Open at login as the app model drives it: its running state, a fresh read after the settings,
// and the hook at the end of each change.

#include <functional>

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

    // The end of a change: true when it succeeded.
    std::function<void(bool)> onResult;
};

} // namespace tidewright
