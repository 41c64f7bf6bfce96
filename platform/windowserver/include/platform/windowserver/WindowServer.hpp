#pragma once
// The window server's window list: one dictionary per window, front to back, with the keys and
// value types the platform uses ("kCGWindowNumber", "kCGWindowOwnerPID", "kCGWindowLayer",
// "kCGWindowBounds" with "X", "Y", "Width", "Height", "kCGWindowIsOnscreen").

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platform {

inline constexpr const char* windowNumberKey = "kCGWindowNumber";
inline constexpr const char* windowOwnerPIDKey = "kCGWindowOwnerPID";
inline constexpr const char* windowLayerKey = "kCGWindowLayer";
inline constexpr const char* windowBoundsKey = "kCGWindowBounds";
inline constexpr const char* windowIsOnscreenKey = "kCGWindowIsOnscreen";

// A number object, apart from a boolean: the parser tells the two kinds apart.
struct WindowInfoNumber {
    double value = 0;
    bool operator==(const WindowInfoNumber&) const = default;
};

struct WindowInfoValue;
using WindowInfo = std::map<std::string, WindowInfoValue>;

struct WindowInfoValue {
    // A nested dictionary (the bounds) is shared, since a map of an incomplete type is not allowed.
    std::variant<bool, WindowInfoNumber, std::string, std::shared_ptr<const WindowInfo>> value;
};

using WindowInfoList = std::vector<WindowInfo>;

class WindowServer {
public:
    virtual ~WindowServer() = default;

    // Every window, on screen or not, front to back; nothing when no list can be had. Blocks for
    // at most a bounded time, so call it off the main thread. Safe for concurrent access.
    virtual std::optional<WindowInfoList> copyWindowInfo() = 0;
};

} // namespace platform
