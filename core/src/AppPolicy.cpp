#include "tidewright/core/AppPolicy.hpp"

namespace tidewright {

OperatingIndicator AppDecision::operatingIndicator() const {
    switch (state.kind()) {
    case FunctioningState::Case::off:
        return OperatingIndicator::off;
    case FunctioningState::Case::running:
        return usableShortcuts == desiredShortcuts ? OperatingIndicator::working
                                                   : OperatingIndicator::attention;
    case FunctioningState::Case::needsPermissions:
    case FunctioningState::Case::needsPreferences:
        break;
    }
    return OperatingIndicator::attention;
}

AppDecision AppPolicy::decide(bool enabled, WindowPermissions permissions,
                              const std::unordered_map<FixedShortcut, ShortcutRegistration>& registrations,
                              PreferenceAvailability preferences) {
    // Every state but running wants no hot keys, so the hot-key service withdraws them all.
    const auto idle = [](FunctioningState state) {
        return AppDecision{state, {}, {}, {}, false};
    };
    if (preferences == PreferenceAvailability::unavailable) {
        return idle(FunctioningState::needsPreferences());
    }
    if (!enabled) {
        return idle(FunctioningState::off());
    }
    if (!permissions.complete()) {
        return idle(FunctioningState::needsPermissions(permissions));
    }
    AppDecision decision{FunctioningState::running(), {}, {}, {}, true};
    for (FixedShortcut shortcut : allFixedShortcuts) {
        decision.desiredShortcuts.insert(shortcut);
        const auto entry = registrations.find(shortcut);
        if (entry == registrations.end()) {
            continue;
        }
        if (entry->second == ShortcutRegistration::registered) {
            decision.usableShortcuts.insert(shortcut);
        } else if (entry->second == ShortcutRegistration::unavailable) {
            decision.conflictingShortcuts.insert(shortcut);
        }
    }
    return decision;
}

} // namespace tidewright
