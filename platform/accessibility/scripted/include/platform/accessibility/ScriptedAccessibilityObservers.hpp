#pragma once
// Observers for tests: every observer made is kept in order, failures are scripted, and the test
// delivers notifications by hand on its own thread, which stands in for the main loop.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/accessibility/AccessibilityObservers.hpp"

namespace platform {

class ScriptedAXObserver final : public AXObserver {
public:
    ScriptedAXObserver(std::int32_t pid, AXObserverCallback callback, AXError addResult)
        : pid_(pid), callback_(std::move(callback)), addResult_(addResult) {}

    AXError addNotification(const AXUIElement& application, std::string_view notification) override;
    void attach() override;
    void detach() override;

    std::int32_t pid() const { return pid_; }
    bool attached() const;
    std::vector<std::string> notifications() const;
    // The messaging timeout the application element carried when the notification was added.
    std::optional<float> addedWithTimeout() const;

    // Calls the callback as the platform would, whether attached or not: a test uses it to play a
    // notification that was already on its way when the source was removed.
    void deliver(std::string_view notification) const;

private:
    const std::int32_t pid_;
    const AXObserverCallback callback_;
    const AXError addResult_;
    mutable std::mutex mutex_;
    bool attached_ = false;
    std::vector<std::string> notifications_;
    std::optional<float> timeout_;
};

class ScriptedAccessibilityObservers final : public AccessibilityObservers {
public:
    AXError createObserver(std::int32_t pid, AXObserverCallback callback,
                           std::shared_ptr<AXObserver>& observer) override;
    AXUIElement createApplication(std::int32_t pid) override;
    AXError setMessagingTimeout(const AXUIElement& application, float seconds) override;

    // The answer of the next createObserver calls, and of the next addNotification calls.
    void setCreateResult(AXError result);
    void setAddResult(AXError result);

    std::vector<std::shared_ptr<ScriptedAXObserver>> observers() const;
    // Delivers the notification through every attached observer of pid; answers how many.
    std::size_t post(std::int32_t pid, std::string_view notification = windowCreatedNotification);

private:
    mutable std::mutex mutex_;
    AXError createResult_ = AXError::success;
    AXError addResult_ = AXError::success;
    std::vector<std::shared_ptr<ScriptedAXObserver>> observers_;
};

} // namespace platform
