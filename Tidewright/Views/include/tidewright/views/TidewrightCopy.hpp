#pragma once
// The keys of every text the application shows in its own words. A case's key is "tidewright." and
// its raw value; the texts live in the table "TidewrightPresentation" of the string tables that
// ship beside the executable.

#include "corbel/ui/StringBundle.hpp"

#include <QLocale>
#include <QString>

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

namespace tidewright {

enum class TidewrightCopy {
    ready,
    off,
    attention,
    registering,
    leftHalf,
    rightHalf,
    maximize,
    nearlyMaximize,
    maximumHeight,
    center,
    shortcutUnavailable,
    leftKey,
    rightKey,
    upKey,
    downKey,
    dKey,
    cKey,
    preferences,
    preferencesTitle,
    privacy,
    openAtLogin,
    openingGroup,
    openingNote,
    noRules,
    noRulesNote,
    addOpenApp,
    chooseApplications,
    noOpenApps,
    remove,
    removeRule,
    ruleAction,
    permissionsGroup,
    moveWindows,
    permissionGranted,
    permissionMissing,
    permissionChecking,
    allow,
    systemSettings,
    welcomeTitle,
    welcomeLead,
    getStarted,
    skipSetup,
    moveDescription,
    moveCelebration,
    welcomeNote,
    moveStepTitle,
    moveRecovery,
    generalGroup,
    shortcutsGroup,
    movePrivacy,
    moveRemaining,
    tryShortcuts,
    allShortcutsInPanel,
    permissionsTitle,
    permissionsNote,
    configurePermissions,
    conflictsTitle,
    conflictsNote,
    checkShortcuts,
    operationFailed,
    operationFailedNote,
    syncIssue,
    syncIssueNote,
    loginIssue,
    loginIssueNote,
    preferencesUnavailable,
    preferencesUnavailableNote,
    shortcutSettingsPath,
    voiceOverReservation,
    settingsIssue,
    settingsIssueNote,
};

inline constexpr std::array<TidewrightCopy, 71> allTidewrightCopies{
    TidewrightCopy::ready,
    TidewrightCopy::off,
    TidewrightCopy::attention,
    TidewrightCopy::registering,
    TidewrightCopy::leftHalf,
    TidewrightCopy::rightHalf,
    TidewrightCopy::maximize,
    TidewrightCopy::nearlyMaximize,
    TidewrightCopy::maximumHeight,
    TidewrightCopy::center,
    TidewrightCopy::shortcutUnavailable,
    TidewrightCopy::leftKey,
    TidewrightCopy::rightKey,
    TidewrightCopy::upKey,
    TidewrightCopy::downKey,
    TidewrightCopy::dKey,
    TidewrightCopy::cKey,
    TidewrightCopy::preferences,
    TidewrightCopy::preferencesTitle,
    TidewrightCopy::privacy,
    TidewrightCopy::openAtLogin,
    TidewrightCopy::openingGroup,
    TidewrightCopy::openingNote,
    TidewrightCopy::noRules,
    TidewrightCopy::noRulesNote,
    TidewrightCopy::addOpenApp,
    TidewrightCopy::chooseApplications,
    TidewrightCopy::noOpenApps,
    TidewrightCopy::remove,
    TidewrightCopy::removeRule,
    TidewrightCopy::ruleAction,
    TidewrightCopy::permissionsGroup,
    TidewrightCopy::moveWindows,
    TidewrightCopy::permissionGranted,
    TidewrightCopy::permissionMissing,
    TidewrightCopy::permissionChecking,
    TidewrightCopy::allow,
    TidewrightCopy::systemSettings,
    TidewrightCopy::welcomeTitle,
    TidewrightCopy::welcomeLead,
    TidewrightCopy::getStarted,
    TidewrightCopy::skipSetup,
    TidewrightCopy::moveDescription,
    TidewrightCopy::moveCelebration,
    TidewrightCopy::welcomeNote,
    TidewrightCopy::moveStepTitle,
    TidewrightCopy::moveRecovery,
    TidewrightCopy::generalGroup,
    TidewrightCopy::shortcutsGroup,
    TidewrightCopy::movePrivacy,
    TidewrightCopy::moveRemaining,
    TidewrightCopy::tryShortcuts,
    TidewrightCopy::allShortcutsInPanel,
    TidewrightCopy::permissionsTitle,
    TidewrightCopy::permissionsNote,
    TidewrightCopy::configurePermissions,
    TidewrightCopy::conflictsTitle,
    TidewrightCopy::conflictsNote,
    TidewrightCopy::checkShortcuts,
    TidewrightCopy::operationFailed,
    TidewrightCopy::operationFailedNote,
    TidewrightCopy::syncIssue,
    TidewrightCopy::syncIssueNote,
    TidewrightCopy::loginIssue,
    TidewrightCopy::loginIssueNote,
    TidewrightCopy::preferencesUnavailable,
    TidewrightCopy::preferencesUnavailableNote,
    TidewrightCopy::shortcutSettingsPath,
    TidewrightCopy::voiceOverReservation,
    TidewrightCopy::settingsIssue,
    TidewrightCopy::settingsIssueNote,
};

inline constexpr std::string_view presentationTable = "TidewrightPresentation";

// The case name.
std::string_view rawValue(TidewrightCopy copy) noexcept;
// Exactly a case name: a full key ("tidewright.ready") gives nothing.
std::optional<TidewrightCopy> tidewrightCopyFromRawValue(std::string_view text) noexcept;
// "tidewright." and the case name, built afresh at each call.
QString copyKey(TidewrightCopy copy);

// The text of a full key in a table for a locale, from a bundle: the locale's localisation is
// chosen explicitly, so a view can show another language than the process's own. Where the table
// has no entry the key itself comes back. Never fails. REQUIRES the main thread.
QString localizedCopy(const QString& key, const QString& table, const QLocale& locale,
                      const corbel::StringBundle& bundle);
// A case's text in "TidewrightPresentation", from the application's tables unless another bundle
// is given.
QString localizedCopy(TidewrightCopy copy, const QLocale& locale);
QString localizedCopy(TidewrightCopy copy, const QLocale& locale, const corbel::StringBundle& bundle);

} // namespace tidewright

template <>
struct std::hash<tidewright::TidewrightCopy> {
    std::size_t operator()(tidewright::TidewrightCopy copy) const noexcept {
        return std::hash<std::string_view>{}(tidewright::rawValue(copy));
    }
};
