#pragma once
// The Accessibility permission as the app model drives it: reads, the task it awaits before a
// window action, the cancellation of the requests the views start, and the hook after each read.

#include <functional>
#include <optional>

#include "platform/concurrency/Task.hpp"
#include "tidewright/core/AppPolicy.hpp"
#include "tidewright/shell/PermissionBackend.hpp"

namespace tidewright {

// Main thread only; the hook is called on the main thread.
class PermissionServiceDriving {
public:
    using RequestOwner = PermissionRequestOwner;

    virtual ~PermissionServiceDriving() = default;
    // The last completed read; unknown until the first one.
    virtual WindowPermissions permissions() const = 0;
    // Starts a read, or asks for another one after the read in flight.
    virtual void refresh() = 0;
    // The read or request in flight; it never ends with an error. Awaiting it does not cancel it;
    // an abandoned one ends once its backend call returns.
    virtual const std::optional<platform::Task<>>& task() const = 0;
    // Asks the user for the permission on owner's behalf, then reads it.
    virtual void request(RequestOwner owner) = 0;
    // Abandons the request in flight when owner started it.
    virtual void cancelRequest(RequestOwner owner) = 0;
    // Abandons everything in flight; the permission keeps its last value.
    virtual void stop() = 0;

    // Called after each completed read or request, changed or not.
    std::function<void()> onChange;
};

} // namespace tidewright
