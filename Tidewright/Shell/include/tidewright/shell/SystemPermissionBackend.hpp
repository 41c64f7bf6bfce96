#pragma once
// The live permission backend: the Accessibility backend's trust test, asked on a worker so that a
// window manager that is slow to answer never holds the main thread. There is no prompt to show.

#include <memory>

#include "platform/accessibility/AccessibilityBackend.hpp"
#include "platform/concurrency/WorkQueue.hpp"
#include "tidewright/shell/PermissionBackend.hpp"

namespace tidewright {

class SystemPermissionBackend final : public PermissionBackend {
public:
    // REQUIRES: accessibility is set; pool outlives every read.
    SystemPermissionBackend(std::shared_ptr<platform::AccessibilityBackend> accessibility,
                            platform::WorkQueue& pool);

    platform::Async<bool> isTrusted() override;
    // Nothing to ask on this desktop: the permission is the window manager.
    platform::Async<> requestTrust() override;

private:
    std::shared_ptr<platform::AccessibilityBackend> accessibility_;
    platform::WorkQueue& pool_;
};

} // namespace tidewright
