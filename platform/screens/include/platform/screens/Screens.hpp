#pragma once
// The screens as the window logic expects to find them: each with its whole frame, the part windows
// may use, and a description holding its number, in the bottom-left convention (y grows upward, the
// primary screen's bottom-left corner is the origin).

#include <cstdint>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace platform {

// A rectangle in the bottom-left convention: x is the left edge, y the bottom edge, in points.
struct ScreenRect {
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// A description entry is a number or a text; readers check which before they use it.
using DeviceValue = std::variant<std::uint32_t, std::string>;
using DeviceDescription = std::map<std::string, DeviceValue, std::less<>>;

// The key of the screen's number in its description.
inline constexpr const char* screenNumberKey = "NSScreenNumber";

struct Screen {
    ScreenRect frame;
    // The frame without what docks and panels reserve on this screen.
    ScreenRect visibleFrame;
    DeviceDescription deviceDescription;
    friend bool operator==(const Screen&, const Screen&) = default;
};

class ScreenSource {
public:
    virtual ~ScreenSource() = default;
    // REQUIRES: the main thread. One consistent reading of every screen, the primary screen first;
    // empty when there is no screen or the screens cannot be read.
    virtual std::vector<Screen> screens() = 0;
};

} // namespace platform
