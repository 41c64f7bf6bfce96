#pragma once
// The revocable permit of one window request: whether the request may still touch windows. Shared
// (by std::shared_ptr) between the main thread, which creates and revokes it, and the transport's
// worker, which checks it before every platform step.

#include <atomic>

#include "tidewright/windowcontrol/ContinuousInstant.hpp"

namespace tidewright {

// Safe for concurrent access from any thread.
class WindowOperationPermit {
public:
    WindowOperationPermit() = default;
    WindowOperationPermit(const WindowOperationPermit&) = delete;
    WindowOperationPermit& operator=(const WindowOperationPermit&) = delete;

    // Makes the permit inactive for good. Idempotent.
    void revoke() noexcept { active_.store(false, std::memory_order_release); }

    bool isActive() const noexcept { return active_.load(std::memory_order_acquire); }

    // Throws WindowOperationFailure invalidated when revoked (also past the deadline), else
    // deadlineExceeded unless now is strictly earlier than deadline.
    void check(ContinuousInstant deadline, ContinuousInstant now) const;

private:
    std::atomic<bool> active_{true};
};

} // namespace tidewright
