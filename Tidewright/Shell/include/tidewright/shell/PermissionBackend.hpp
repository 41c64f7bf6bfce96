#pragma once
// The Accessibility permission as the permission service reaches it: a read and a request.

#include "platform/concurrency/Task.hpp"

namespace tidewright {

// Who asked for the permission.
enum class PermissionRequestOwner {
    preferences,
    welcome,
};

class PermissionBackend {
public:
    virtual ~PermissionBackend() = default;

    // Whether the process is trusted now. Never fails. REQUIRES: awaited in a task on the main executor.
    virtual platform::Async<bool> isTrusted() = 0;
    // Asks the user for the permission, where the desktop has a way to; nothing when the
    // current task is cancelled. REQUIRES: awaited in a task on the main executor.
    virtual platform::Async<> requestTrust() = 0;
};

} // namespace tidewright
