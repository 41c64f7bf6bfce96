#include "tidewright/core/AppPolicy.hpp"

#include <gtest/gtest.h>

namespace tidewright {
namespace {

using Registrations = std::unordered_map<FixedShortcut, ShortcutRegistration>;
using enum FixedShortcut;

const ShortcutSet allSix{left, right, up, d, down, c};

Registrations allRegistered() {
    Registrations registrations;
    for (FixedShortcut shortcut : allFixedShortcuts) {
        registrations[shortcut] = ShortcutRegistration::registered;
    }
    return registrations;
}

TEST(AppPolicy, Decide) {
    const WindowPermissions granted{PermissionState::granted};
    const WindowPermissions denied{PermissionState::denied};
    const WindowPermissions unknown{PermissionState::unknown};
    const auto available = PreferenceAvailability::available;
    const auto unavailable = PreferenceAvailability::unavailable;
    const Registrations mixed{
        {right, ShortcutRegistration::registered}, {up, ShortcutRegistration::registered},
        {down, ShortcutRegistration::registered},  {d, ShortcutRegistration::unavailable},
        {c, ShortcutRegistration::pending},
    };

    struct Case {
        const char* name;
        bool enabled;
        WindowPermissions permissions;
        Registrations registrations;
        PreferenceAvailability preferences;
        AppDecision expected;
        OperatingIndicator indicator;
    };
    const Case cases[] = {
        {"preferences before off",
         false,
         granted,
         allRegistered(),
         unavailable,
         {FunctioningState::needsPreferences(), {}, {}, {}, false},
         OperatingIndicator::attention},
        {"off before permissions",
         false,
         denied,
         {},
         available,
         {FunctioningState::off(), {}, {}, {}, false},
         OperatingIndicator::off},
        {"permission unknown",
         true,
         unknown,
         allRegistered(),
         available,
         {FunctioningState::needsPermissions(unknown), {}, {}, {}, false},
         OperatingIndicator::attention},
        {"permission denied",
         true,
         denied,
         {},
         available,
         {FunctioningState::needsPermissions(denied), {}, {}, {}, false},
         OperatingIndicator::attention},
        {"all registered",
         true,
         granted,
         allRegistered(),
         available,
         {FunctioningState::running(), allSix, allSix, {}, true},
         OperatingIndicator::working},
        {"mixed",
         true,
         granted,
         mixed,
         available,
         {FunctioningState::running(), allSix, {right, up, down}, {d}, true},
         OperatingIndicator::attention},
        {"nothing registered yet",
         true,
         granted,
         {},
         available,
         {FunctioningState::running(), allSix, {}, {}, true},
         OperatingIndicator::attention},
    };
    for (const auto& row : cases) {
        const AppDecision decision =
            AppPolicy::decide(row.enabled, row.permissions, row.registrations, row.preferences);
        EXPECT_EQ(decision, row.expected) << row.name;
        EXPECT_EQ(decision.operatingIndicator(), row.indicator) << row.name;
        EXPECT_EQ(decision.cancelPendingWork(), !row.expected.rulesAllowed) << row.name;
    }
}

TEST(AppPolicy, NeedsPermissionsCarriesThePermission) {
    EXPECT_NE(FunctioningState::needsPermissions({PermissionState::unknown}),
              FunctioningState::needsPermissions({PermissionState::denied}));
    EXPECT_NE(FunctioningState::off(), FunctioningState::running());
}

TEST(AppPolicy, PermissionsAndIndicatorSymbols) {
    EXPECT_FALSE(WindowPermissions{PermissionState::unknown}.complete());
    EXPECT_FALSE(WindowPermissions{PermissionState::unknown}.refused());
    EXPECT_TRUE(WindowPermissions{PermissionState::denied}.refused());
    EXPECT_TRUE(WindowPermissions{PermissionState::granted}.complete());

    EXPECT_EQ(menuBarSymbol(OperatingIndicator::working), "rectangle.split.2x1.fill");
    EXPECT_EQ(menuBarSymbol(OperatingIndicator::off), "rectangle.split.2x1");
    EXPECT_EQ(menuBarSymbol(OperatingIndicator::attention), "exclamationmark.triangle.fill");
}

} // namespace
} // namespace tidewright
