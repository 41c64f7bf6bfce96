#include "tidewright/windowcontrol/AccessibilityWindowEvents.hpp"

#include "platform/accessibility/AccessibilityTypes.hpp"

namespace tidewright {

WindowOperationFailure windowOperationFailure(const AccessibilityError& error) noexcept {
    using platform::AXError;
    switch (error.code) {
    case AXError::noValue:
    case AXError::attributeUnsupported:
    case AXError::invalidUIElement:
        return WindowOperationFailure::noUniqueEligibleWindow();
    case AXError::apiDisabled:
        return WindowOperationFailure::invalidated();
    case AXError::cannotComplete:
        return WindowOperationFailure::transport(platform::rawCode(error.code));
    default:
        return WindowOperationFailure::remote(platform::rawCode(error.code));
    }
}

} // namespace tidewright
