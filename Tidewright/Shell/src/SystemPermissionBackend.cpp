#include "tidewright/shell/SystemPermissionBackend.hpp"

#include <stdexcept>

namespace tidewright {

SystemPermissionBackend::SystemPermissionBackend(
    std::shared_ptr<platform::AccessibilityBackend> accessibility, platform::WorkQueue& pool)
    : accessibility_(std::move(accessibility)), pool_(pool) {
    if (accessibility_ == nullptr) {
        throw std::invalid_argument("SystemPermissionBackend needs an Accessibility backend");
    }
}

platform::Async<bool> SystemPermissionBackend::isTrusted() {
    // Held by the frame, so the backend outlives the read even if this object goes meanwhile.
    const std::shared_ptr<platform::AccessibilityBackend> accessibility = accessibility_;
    // The job captures only a pointer: g++ 12 destroys the captures of a lambda temporary in a
    // co_await twice.
    platform::AccessibilityBackend* backend = accessibility.get();
    co_return co_await pool_.run([backend] { return backend->isProcessTrusted(); });
}

platform::Async<> SystemPermissionBackend::requestTrust() {
    co_return;
}

} // namespace tidewright
