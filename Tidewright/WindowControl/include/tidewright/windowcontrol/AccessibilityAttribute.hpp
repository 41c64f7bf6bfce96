#pragma once
// The eleven attributes that the system ever reads or writes on another application. The order of
// the cases is what travels between the layers and must not change.

#include <string_view>

namespace tidewright {

enum class AccessibilityAttribute {
    frontmost,             // Bool: the application must be frontmost
    mainWindow,            // element: the application's main window
    focusedWindow,         // element: stands in when the main window has no value or is unsupported
    windows,               // array: only its count is read
    modal,                 // Bool: a modal window is refused
    minimized,             // Bool: a minimized window is refused
    role,                  // String: must be "AXWindow"
    subrole,               // String: must be "AXStandardWindow"
    position,              // point: frame read, origin write
    size,                  // size: frame read, size write, settable test
    enhancedUserInterface, // Bool: switched off around a write
};

// The platform's name of the attribute, passed on every call.
std::string_view rawValue(AccessibilityAttribute attribute) noexcept;

} // namespace tidewright
