#include "tidewright/windowcontrol/AccessibilityAttribute.hpp"

#include "platform/accessibility/AccessibilityNames.hpp"

namespace tidewright {

std::string_view rawValue(AccessibilityAttribute attribute) noexcept {
    namespace ax = platform::ax;
    switch (attribute) {
    case AccessibilityAttribute::frontmost:
        return ax::frontmostAttribute;
    case AccessibilityAttribute::mainWindow:
        return ax::mainWindowAttribute;
    case AccessibilityAttribute::focusedWindow:
        return ax::focusedWindowAttribute;
    case AccessibilityAttribute::windows:
        return ax::windowsAttribute;
    case AccessibilityAttribute::modal:
        return ax::modalAttribute;
    case AccessibilityAttribute::minimized:
        return ax::minimizedAttribute;
    case AccessibilityAttribute::role:
        return ax::roleAttribute;
    case AccessibilityAttribute::subrole:
        return ax::subroleAttribute;
    case AccessibilityAttribute::position:
        return ax::positionAttribute;
    case AccessibilityAttribute::size:
        return ax::sizeAttribute;
    case AccessibilityAttribute::enhancedUserInterface:
        return ax::enhancedUserInterfaceAttribute;
    }
    return {};
}

} // namespace tidewright
