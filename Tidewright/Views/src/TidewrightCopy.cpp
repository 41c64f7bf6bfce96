#include "tidewright/views/TidewrightCopy.hpp"

namespace tidewright {

std::string_view rawValue(TidewrightCopy copy) noexcept {
    constexpr std::array<std::string_view, allTidewrightCopies.size()> names{
        "ready",
        "off",
        "attention",
        "registering",
        "leftHalf",
        "rightHalf",
        "maximize",
        "nearlyMaximize",
        "maximumHeight",
        "center",
        "shortcutUnavailable",
        "leftKey",
        "rightKey",
        "upKey",
        "downKey",
        "dKey",
        "cKey",
        "preferences",
        "preferencesTitle",
        "privacy",
        "openAtLogin",
        "openingGroup",
        "openingNote",
        "noRules",
        "noRulesNote",
        "addOpenApp",
        "chooseApplications",
        "noOpenApps",
        "remove",
        "removeRule",
        "ruleAction",
        "permissionsGroup",
        "moveWindows",
        "permissionGranted",
        "permissionMissing",
        "permissionChecking",
        "allow",
        "systemSettings",
        "welcomeTitle",
        "welcomeLead",
        "getStarted",
        "skipSetup",
        "moveDescription",
        "moveCelebration",
        "welcomeNote",
        "moveStepTitle",
        "moveRecovery",
        "generalGroup",
        "shortcutsGroup",
        "movePrivacy",
        "moveRemaining",
        "tryShortcuts",
        "allShortcutsInPanel",
        "permissionsTitle",
        "permissionsNote",
        "configurePermissions",
        "conflictsTitle",
        "conflictsNote",
        "checkShortcuts",
        "operationFailed",
        "operationFailedNote",
        "syncIssue",
        "syncIssueNote",
        "loginIssue",
        "loginIssueNote",
        "preferencesUnavailable",
        "preferencesUnavailableNote",
        "shortcutSettingsPath",
        "voiceOverReservation",
        "settingsIssue",
        "settingsIssueNote",
    };
    return names[static_cast<std::size_t>(copy)];
}

std::optional<TidewrightCopy> tidewrightCopyFromRawValue(std::string_view text) noexcept {
    for (TidewrightCopy copy : allTidewrightCopies) {
        if (rawValue(copy) == text) {
            return copy;
        }
    }
    return std::nullopt;
}

QString copyKey(TidewrightCopy copy) {
    const std::string_view raw = rawValue(copy);
    return QStringLiteral("tidewright.") + QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
}

QString localizedCopy(const QString& key, const QString& table, const QLocale& locale,
                      const corbel::StringBundle& bundle) {
    return corbel::localizedString(key, table, locale, bundle);
}

QString localizedCopy(TidewrightCopy copy, const QLocale& locale) {
    return localizedCopy(copy, locale, corbel::StringBundle::main());
}

QString localizedCopy(TidewrightCopy copy, const QLocale& locale, const corbel::StringBundle& bundle) {
    return localizedCopy(copyKey(copy), QString::fromUtf8(presentationTable.data(), presentationTable.size()),
                         locale, bundle);
}

} // namespace tidewright
