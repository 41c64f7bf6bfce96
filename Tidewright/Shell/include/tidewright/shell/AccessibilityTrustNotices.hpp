#pragma once
// Listens for the notice that the Accessibility trust may have changed and calls its handler a
// quarter of a second after each one. Notices are not merged: the permission service's refresh
// merges the reads they cause.

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "platform/accessibility/TrustNoticeCenter.hpp"
#include "platform/concurrency/Clock.hpp"
#include "platform/concurrency/Executor.hpp"
#include "tidewright/shell/TrustNoticesDriving.hpp"

namespace tidewright {

// Main thread only.
class AccessibilityTrustNotices final : public TrustNoticesDriving {
public:
    static constexpr std::chrono::milliseconds delay{250};

    // REQUIRES: center is set; main and clock outlive every task the notices start (those tasks
    // outlive stop() and this object, and call the handler all the same).
    AccessibilityTrustNotices(std::shared_ptr<platform::TrustNoticeCenter> center, platform::Executor& main,
                              platform::Clock& clock);
    ~AccessibilityTrustNotices() override;
    AccessibilityTrustNotices(const AccessibilityTrustNotices&) = delete;
    AccessibilityTrustNotices& operator=(const AccessibilityTrustNotices&) = delete;

    // Begins listening; nothing when already listening. REQUIRES: handler does not throw.
    void start(std::function<void()> handler) override;
    void stop() override;

    bool listening() const { return observer_.has_value(); }

private:
    std::shared_ptr<platform::TrustNoticeCenter> center_;
    platform::Executor& main_;
    platform::Clock& clock_;
    std::optional<platform::TrustNoticeCenter::ObserverID> observer_;
};

} // namespace tidewright
