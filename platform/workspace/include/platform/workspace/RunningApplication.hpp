#pragma once
// A running application as the workspace reports it: a process that owns, or owned, a managed
// window.

#include <QString>

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

enum class ActivationPolicy {
    regular,    // shown among the running applications
    accessory,  // a menu-bar (tray) application, such as this one
    prohibited, // never shown
};

struct RunningApplication {
    // Nothing for a process with neither a desktop entry nor a window class.
    std::optional<std::string> bundleIdentifier;
    std::int32_t processIdentifier = 0;
    ActivationPolicy activationPolicy = ActivationPolicy::regular;
    std::optional<QString> localizedName;

    bool operator==(const RunningApplication&) const = default;
};

} // namespace platform
