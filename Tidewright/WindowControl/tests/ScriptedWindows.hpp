#pragma once
// Scripts the scripted platform backend for the window-control tests.

#include <string>

#include "platform/accessibility/AccessibilityNames.hpp"
#include "platform/accessibility/ScriptedAccessibilityBackend.hpp"
#include "tidewright/core/Geometry.hpp"

namespace tidewright {

// Makes name a standard window, neither modal nor minimized, with this frame.
inline void scriptStandardWindow(platform::ScriptedAccessibilityBackend& backend, const std::string& name,
                                 const DesktopFrame& frame) {
    namespace ax = platform::ax;
    backend.setValue(name, ax::modalAttribute, false);
    backend.setValue(name, ax::minimizedAttribute, false);
    backend.setValue(name, ax::roleAttribute, std::string(ax::windowRole));
    backend.setValue(name, ax::subroleAttribute, std::string(ax::standardWindowSubrole));
    backend.setValue(name, ax::positionAttribute,
                     platform::AXValue(platform::CGPoint{frame.minX(), frame.minY()}));
    backend.setValue(
        name, ax::sizeAttribute,
        platform::AXValue(platform::CGSize{frame.size().width().value(), frame.size().height().value()}));
}

} // namespace tidewright
