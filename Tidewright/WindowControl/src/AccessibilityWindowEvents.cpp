#include "tidewright/windowcontrol/AccessibilityWindowEvents.hpp"

#include "platform/accessibility/AccessibilityTypes.hpp"

namespace tidewright {

WindowOperationFailure windowOperationFailure(const AccessibilityError& error) noexcept {
    using platform::AXError;
    switch (static_cast<AXError>(error.code)) {
    case AXError::noValue:
    case AXError::attributeUnsupported:
    case AXError::invalidUIElement:
        return WindowOperationFailure::noUniqueEligibleWindow();
    case AXError::apiDisabled:
        return WindowOperationFailure::invalidated();
    case AXError::cannotComplete:
        return WindowOperationFailure::transport(error.code);
    default:
        return WindowOperationFailure::remote(error.code);
    }
}

} // namespace tidewright
