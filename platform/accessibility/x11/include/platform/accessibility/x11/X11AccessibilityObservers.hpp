#pragma once
// Live Accessibility observers on X11. Each observer has its own connection and a reader thread:
// when its notification is added it takes a snapshot of _NET_CLIENT_LIST, and on each change of
// that list it reports every new managed window of its process once, as soon as the window is
// viewable (the windows that the presence read and the window list count). Reports are posted to
// the main executor and dropped there once the observer is detached.

#include "platform/accessibility/AccessibilityObservers.hpp"
#include "platform/concurrency/Executor.hpp"

#include <string>

namespace platform {

class X11AccessibilityObservers final : public AccessibilityObservers {
public:
    // display: empty for $DISPLAY. REQUIRES: main is the main executor and outlives every
    // observer's attachment.
    X11AccessibilityObservers(std::string display, Executor& main)
        : display_(std::move(display)), main_(main) {}

    AXError createObserver(std::int32_t pid, AXObserverCallback callback,
                           std::shared_ptr<AXObserver>& observer) override;
    AXUIElement createApplication(std::int32_t pid) override;
    AXError setMessagingTimeout(const AXUIElement& application, float seconds) override;

private:
    std::string display_;
    Executor& main_;
};

} // namespace platform
