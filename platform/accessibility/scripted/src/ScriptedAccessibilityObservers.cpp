#include "platform/accessibility/ScriptedAccessibilityObservers.hpp"

#include <atomic>

namespace platform {

namespace {

struct ScriptedApplication final : AXElementObject {
    explicit ScriptedApplication(std::int32_t pid) : pid(pid) {}
    const std::int32_t pid;
    mutable std::atomic<float> timeout{0.0F};
};

} // namespace

AXError ScriptedAXObserver::addNotification(const AXUIElement& application, std::string_view notification) {
    const auto* object = application.as<ScriptedApplication>();
    if (object == nullptr || object->pid != pid_)
        return AXError::illegalArgument;
    std::lock_guard lock(mutex_);
    if (addResult_ != AXError::success)
        return addResult_;
    notifications_.emplace_back(notification);
    timeout_ = object->timeout.load();
    return AXError::success;
}

void ScriptedAXObserver::attach() {
    std::lock_guard lock(mutex_);
    attached_ = true;
}

void ScriptedAXObserver::detach() {
    std::lock_guard lock(mutex_);
    attached_ = false;
}

bool ScriptedAXObserver::attached() const {
    std::lock_guard lock(mutex_);
    return attached_;
}

std::vector<std::string> ScriptedAXObserver::notifications() const {
    std::lock_guard lock(mutex_);
    return notifications_;
}

std::optional<float> ScriptedAXObserver::addedWithTimeout() const {
    std::lock_guard lock(mutex_);
    return timeout_;
}

void ScriptedAXObserver::deliver(std::string_view notification) const {
    callback_(*this, notification);
}

AXError ScriptedAccessibilityObservers::createObserver(std::int32_t pid, AXObserverCallback callback,
                                                       std::shared_ptr<AXObserver>& observer) {
    std::lock_guard lock(mutex_);
    if (createResult_ != AXError::success)
        return createResult_;
    auto made = std::make_shared<ScriptedAXObserver>(pid, std::move(callback), addResult_);
    observers_.push_back(made);
    observer = std::move(made);
    return AXError::success;
}

AXUIElement ScriptedAccessibilityObservers::createApplication(std::int32_t pid) {
    return AXUIElement(std::make_shared<ScriptedApplication>(pid));
}

AXError ScriptedAccessibilityObservers::setMessagingTimeout(const AXUIElement& application, float seconds) {
    const auto* object = application.as<ScriptedApplication>();
    if (object == nullptr)
        return AXError::illegalArgument;
    object->timeout.store(seconds > 0 ? seconds : 0.0F);
    return AXError::success;
}

void ScriptedAccessibilityObservers::setCreateResult(AXError result) {
    std::lock_guard lock(mutex_);
    createResult_ = result;
}

void ScriptedAccessibilityObservers::setAddResult(AXError result) {
    std::lock_guard lock(mutex_);
    addResult_ = result;
}

std::vector<std::shared_ptr<ScriptedAXObserver>> ScriptedAccessibilityObservers::observers() const {
    std::lock_guard lock(mutex_);
    return observers_;
}

std::size_t ScriptedAccessibilityObservers::post(std::int32_t pid, std::string_view notification) {
    std::size_t delivered = 0;
    for (const auto& observer : observers()) {
        if (observer->pid() == pid && observer->attached()) {
            observer->deliver(notification);
            ++delivered;
        }
    }
    return delivered;
}

} // namespace platform
