#pragma once
// What the system may do right now: whether it runs, which hot keys it wants and may use, whether
// opening rules may act, and what the status item shows. Decided afresh on every reconcile.

#include "tidewright/core/FixedShortcut.hpp"
#include "tidewright/core/PreferenceAvailability.hpp"

#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

namespace tidewright {

enum class ShortcutRegistration {
    pending, // not yet attempted, or being attempted
    registered,
    unavailable, // the system refused it
};

// The accessibility permission as last learned.
enum class PermissionState {
    unknown,
    denied,
    granted,
};

struct WindowPermissions {
    PermissionState moveWindows;

    bool complete() const noexcept { return moveWindows == PermissionState::granted; }
    // Unknown is neither complete nor refused.
    bool refused() const noexcept { return moveWindows == PermissionState::denied; }

    bool operator==(const WindowPermissions&) const = default;
};

// What the system is doing. Only needsPermissions carries a payload: the permission as it stood.
class FunctioningState {
public:
    enum class Case {
        needsPermissions,
        off,
        needsPreferences,
        running,
    };

    static FunctioningState needsPermissions(WindowPermissions permissions) noexcept {
        return FunctioningState(Case::needsPermissions, permissions);
    }
    static FunctioningState off() noexcept { return FunctioningState(Case::off, std::nullopt); }
    static FunctioningState needsPreferences() noexcept {
        return FunctioningState(Case::needsPreferences, std::nullopt);
    }
    static FunctioningState running() noexcept { return FunctioningState(Case::running, std::nullopt); }

    Case kind() const noexcept { return case_; }
    // Present exactly for needsPermissions.
    const std::optional<WindowPermissions>& permissions() const noexcept { return permissions_; }

    bool operator==(const FunctioningState&) const = default;

private:
    FunctioningState(Case c, std::optional<WindowPermissions> permissions) noexcept
        : case_(c), permissions_(permissions) {}

    Case case_;
    std::optional<WindowPermissions> permissions_;
};

// The status item's state.
enum class OperatingIndicator {
    working,
    off,
    attention,
};

// The name of the symbol image the status item shows; the interface maps it to a picture.
constexpr std::string_view menuBarSymbol(OperatingIndicator indicator) noexcept {
    switch (indicator) {
    case OperatingIndicator::working:
        return "rectangle.split.2x1.fill";
    case OperatingIndicator::off:
        return "rectangle.split.2x1";
    case OperatingIndicator::attention:
        break;
    }
    return "exclamationmark.triangle.fill";
}

using ShortcutSet = std::unordered_set<FixedShortcut>;

struct AppDecision {
    FunctioningState state;
    ShortcutSet desiredShortcuts;
    ShortcutSet usableShortcuts;
    ShortcutSet conflictingShortcuts;
    bool rulesAllowed;

    bool cancelPendingWork() const noexcept { return !rulesAllowed; }
    OperatingIndicator operatingIndicator() const;

    bool operator==(const AppDecision&) const = default;
};

struct AppPolicy {
    AppPolicy() = delete;

    // Pure. Shortcuts missing from `registrations` count as not registered.
    static AppDecision decide(bool enabled, WindowPermissions permissions,
                              const std::unordered_map<FixedShortcut, ShortcutRegistration>& registrations,
                              PreferenceAvailability preferences);
};

} // namespace tidewright
