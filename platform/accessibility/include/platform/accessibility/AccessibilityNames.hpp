#pragma once
// The platform's attribute names and the role and subrole texts that windows report, as the
// platform spells them. A backend answers these names; any other name is attributeUnsupported.

#include <string_view>

namespace platform::ax {

// Attributes of an application element.
inline constexpr std::string_view frontmostAttribute = "AXFrontmost";         // bool
inline constexpr std::string_view mainWindowAttribute = "AXMainWindow";       // AXUIElement
inline constexpr std::string_view focusedWindowAttribute = "AXFocusedWindow"; // AXUIElement
inline constexpr std::string_view windowsAttribute = "AXWindows";             // AXElementArray
inline constexpr std::string_view enhancedUserInterfaceAttribute = "AXEnhancedUserInterface"; // bool

// Attributes of a window element.
inline constexpr std::string_view modalAttribute = "AXModal";         // bool
inline constexpr std::string_view minimizedAttribute = "AXMinimized"; // bool
inline constexpr std::string_view roleAttribute = "AXRole";           // std::string
inline constexpr std::string_view subroleAttribute = "AXSubrole";     // std::string
inline constexpr std::string_view positionAttribute = "AXPosition";   // AXValue of type cgPoint
inline constexpr std::string_view sizeAttribute = "AXSize";           // AXValue of type cgSize

// Values of roleAttribute and subroleAttribute.
inline constexpr std::string_view windowRole = "AXWindow";
inline constexpr std::string_view standardWindowSubrole = "AXStandardWindow";
inline constexpr std::string_view dialogSubrole = "AXDialog";
inline constexpr std::string_view systemDialogSubrole = "AXSystemDialog";
inline constexpr std::string_view floatingWindowSubrole = "AXFloatingWindow";
inline constexpr std::string_view unknownSubrole = "AXUnknown";

} // namespace platform::ax
