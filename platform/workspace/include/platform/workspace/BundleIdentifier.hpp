#pragma once
// The bundle identifier of an application on this desktop, derived from its desktop-entry id or,
// without an entry, from its window class. Rules are keyed by it and synced between machines, so
// these functions must give the same answer everywhere and for ever.

#include <optional>
#include <string>
#include <string_view>

#include "tidewright/core/Identities.hpp"

namespace platform {

// An injective map of any byte string into letters, digits, "-" and ".": "-" becomes "--", a "."
// that would leave an empty dot-separated part (first, last, or after another ".") becomes "-2E",
// and any other byte outside the letters and digits becomes "-" and two upper-case hex digits.
std::string escapeIdentifier(std::string_view bytes);

// A desktop id that is a valid bundle identifier and does not begin with "desktop." or "wmclass."
// stands for itself; any other becomes "desktop." + escapeIdentifier(id). Nothing when the result
// is refused (empty, or longer than a bundle identifier may be).
std::optional<tidewright::BundleID> bundleIdentifierForDesktopId(std::string_view desktopId);

// An application without a desktop entry: "wmclass." + escapeIdentifier(class of WM_CLASS).
std::optional<tidewright::BundleID> bundleIdentifierForWindowClass(std::string_view windowClass);

} // namespace platform
