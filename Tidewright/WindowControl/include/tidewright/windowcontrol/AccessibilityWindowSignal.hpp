#pragma once
// The window-created signal: watches one process at a time through an Accessibility observer for
// "AXWindowCreated" and offers one wait at a time with a time limit. Lives on the main executor;
// only the making of the observer runs on the thread pool.

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/accessibility/AccessibilityObservers.hpp"
#include "platform/concurrency/Clock.hpp"
#include "platform/concurrency/Continuation.hpp"
#include "platform/concurrency/Executor.hpp"
#include "platform/concurrency/WorkQueue.hpp"
#include "tidewright/windowcontrol/OpeningWindowSignaling.hpp"

namespace tidewright {

class AccessibilityWindowSignal final : public OpeningWindowSignaling,
                                        public std::enable_shared_from_this<AccessibilityWindowSignal> {
public:
    // How long the observed application may take to answer the observer's requests.
    static constexpr float observerMessagingTimeout = 0.25F;

    // REQUIRES: main is the main executor and clock runs on it; pool and clock outlive the signal
    // and every task it starts.
    static std::shared_ptr<AccessibilityWindowSignal>
    create(std::shared_ptr<platform::AccessibilityObservers> observers, platform::Executor& main,
           platform::WorkQueue& pool, platform::Clock& clock);
    ~AccessibilityWindowSignal() override;

    platform::Async<bool> wait(std::int32_t pid, ContinuousDuration limit) override;
    void cancel() override;

private:
    // A pending wait and the token that its time limit and its cancellation handler carry, so that
    // neither can end a newer wait: a fired timer's sleep returns even when its task was cancelled.
    struct Waiter {
        std::uint64_t token;
        platform::Continuation<bool> continuation;
    };

    AccessibilityWindowSignal(std::shared_ptr<platform::AccessibilityObservers> observers,
                              platform::Executor& main, platform::WorkQueue& pool, platform::Clock& clock);

    void finish(bool value);
    // Finishes with value only while the wait with this token is the pending one.
    void finishWait(std::uint64_t token, bool value);
    void startRegistration(std::uint64_t watch, std::int32_t pid);
    // Runs on the pool: the observer of pid with "AXWindowCreated" added, or null.
    static std::shared_ptr<platform::AXObserver>
    makeObserver(platform::AccessibilityObservers& observers,
                 const std::weak_ptr<AccessibilityWindowSignal>& weak, std::int32_t pid);
    void notified(const platform::AXObserver& from);

    std::shared_ptr<platform::AccessibilityObservers> observers_;
    platform::Executor& main_;
    platform::WorkQueue& pool_;
    platform::Clock& clock_;

    std::optional<std::int32_t> watched_;
    std::shared_ptr<platform::AXObserver> observer_;
    bool registering_ = false;
    bool created_ = false;
    std::optional<Waiter> waiter_;
    std::optional<platform::Task<>> timeout_;
    std::uint64_t watch_ = 0;
    std::uint64_t lastToken_ = 0;
};

} // namespace tidewright
