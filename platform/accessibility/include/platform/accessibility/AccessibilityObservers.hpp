#pragma once
// Accessibility observers: watch one process for a notification such as "AXWindowCreated" and call
// back on the main thread while the observer's source is attached to the main loop.

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>

#include "platform/accessibility/AccessibilityTypes.hpp"

namespace platform {

// The notification an application posts when it has created a window.
inline constexpr std::string_view windowCreatedNotification = "AXWindowCreated";

class AXObserver;

// Called on the main thread with the observer that saw the notification and the notification's
// name. Observer identity is the object's address: two handles of one observer are equal.
using AXObserverCallback = std::function<void(const AXObserver& observer, std::string_view notification)>;

// One observer of one process. Its notifications are added before its source is attached.
class AXObserver {
public:
    virtual ~AXObserver() = default;
    AXObserver(const AXObserver&) = delete;
    AXObserver& operator=(const AXObserver&) = delete;

    // Starts delivering the notification that application (made by the same backend, for the
    // observer's process) posts. Waits at most the application element's messaging timeout.
    // Safe on any thread; REQUIRES: before attach().
    virtual AXError addNotification(const AXUIElement& application, std::string_view notification) = 0;

    // Adds the observer's source to the main loop: callbacks run from the next turn on.
    // REQUIRES: on the main thread; attached at most once.
    virtual void attach() = 0;
    // Removes the source: no callback runs after this returns, even one already on its way.
    // REQUIRES: on the main thread. Idempotent; the destructor detaches too.
    virtual void detach() = 0;

protected:
    AXObserver() = default;
};

// Makes observers and the application elements they watch. Safe for concurrent access.
class AccessibilityObservers {
public:
    virtual ~AccessibilityObservers() = default;

    // An observer for pid that calls callback, or an error (observer left unset).
    virtual AXError createObserver(std::int32_t pid, AXObserverCallback callback,
                                   std::shared_ptr<AXObserver>& observer) = 0;
    // The application element of pid for addNotification.
    virtual AXUIElement createApplication(std::int32_t pid) = 0;
    // The element's own messaging timeout in seconds; seconds <= 0 restores the default.
    virtual AXError setMessagingTimeout(const AXUIElement& application, float seconds) = 0;
};

} // namespace platform
