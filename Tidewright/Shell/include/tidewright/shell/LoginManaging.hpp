#pragma once
// The application's login item as open-at-login reaches it.

#include "platform/concurrency/Task.hpp"

namespace tidewright {

class LoginManaging {
public:
    virtual ~LoginManaging() = default;

    // The login item's status value (see loginStateFromStatus).
    virtual int status() const = 0;
    // Registers (true) or unregisters (false) the login item. THROWS the platform's error.
    // REQUIRES: awaited in a task on the main executor.
    virtual platform::Async<> setEnabled(bool enabled) = 0;
};

} // namespace tidewright
