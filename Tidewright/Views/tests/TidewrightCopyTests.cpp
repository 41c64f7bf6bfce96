// The interface-text keys and their lookup in the compiled string tables.

#include "tidewright/views/TidewrightCopy.hpp"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace tidewright {
namespace {

TEST(TidewrightCopyTest, AllCasesInTableOrder) {
    const std::vector<std::string_view> expected{
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
    ASSERT_EQ(allTidewrightCopies.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(rawValue(allTidewrightCopies[i]), expected[i]) << i;
        EXPECT_EQ(tidewrightCopyFromRawValue(expected[i]), allTidewrightCopies[i]) << i;
    }
}

TEST(TidewrightCopyTest, RawValueIsExactlyTheCaseName) {
    EXPECT_EQ(tidewrightCopyFromRawValue("ready"), TidewrightCopy::ready);
    for (std::string_view text : {"tidewright.ready", "Ready", "ready ", "", "tidewright."}) {
        EXPECT_EQ(tidewrightCopyFromRawValue(text), std::nullopt) << text;
    }
    EXPECT_EQ(copyKey(TidewrightCopy::preferences), QStringLiteral("tidewright.preferences"));
    EXPECT_EQ(copyKey(TidewrightCopy::settingsIssueNote), QStringLiteral("tidewright.settingsIssueNote"));
}

class CopyLookupTest : public ::testing::Test {
protected:
    void SetUp() override { QLocale::setDefault(QLocale::c()); }
    void TearDown() override { QLocale::setDefault(QLocale::c()); }

    static corbel::StringBundle bundleIn(const QString& folder) {
        return corbel::StringBundle(folder, QStringLiteral("Tidewright"),
                                    {QStringLiteral("en"), QStringLiteral("de")}, QStringLiteral("en"));
    }

    corbel::StringBundle tables = bundleIn(QStringLiteral(TIDEWRIGHT_STRING_TABLE_FOLDER));
};

TEST_F(CopyLookupTest, ChoosesTheLocalesLanguageExplicitly) {
    struct Case {
        QLocale locale;
        QString expected;
    };
    const std::vector<Case> cases{
        {QLocale(QLocale::German, QLocale::Germany), QStringLiteral("Einstellungen …")},
        {QLocale(QLocale::German, QLocale::Switzerland), QStringLiteral("Einstellungen …")},
        {QLocale(QLocale::German), QStringLiteral("Einstellungen …")},
        {QLocale(QLocale::English, QLocale::UnitedStates), QStringLiteral("Preferences…")},
        {QLocale(QLocale::English, QLocale::UnitedKingdom), QStringLiteral("Preferences…")},
        // No table for these: the development localisation, English.
        {QLocale(QLocale::French, QLocale::France), QStringLiteral("Preferences…")},
        {QLocale(QLocale::Japanese), QStringLiteral("Preferences…")},
        {QLocale::c(), QStringLiteral("Preferences…")},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(localizedCopy(TidewrightCopy::preferences, c.locale, tables), c.expected)
            << c.locale.name().toStdString();
    }
    // The process's own language plays no part.
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(localizedCopy(TidewrightCopy::preferences, QLocale(QLocale::English), tables),
              QStringLiteral("Preferences…"));
}

TEST_F(CopyLookupTest, PreferredLocalizationMatchesLanguageThenFallsBackToEnglish) {
    const corbel::StringBundle regional(QStringLiteral("/nonexistent"), QStringLiteral("Tidewright"),
                                        {QStringLiteral("en"), QStringLiteral("de_AT"), QStringLiteral("de")},
                                        QStringLiteral("en"));
    const struct {
        QLocale locale;
        QString expected;
    } cases[] = {
        {QLocale(QLocale::German, QLocale::Austria), QStringLiteral("de_AT")},
        {QLocale(QLocale::German, QLocale::Germany), QStringLiteral("de")},
        // A bare language before another territory's variant, whatever the declared order.
        {QLocale(QLocale::German, QLocale::Switzerland), QStringLiteral("de")},
        {QLocale(QLocale::English, QLocale::Australia), QStringLiteral("en")},
        {QLocale(QLocale::Italian), QStringLiteral("en")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(regional.preferredLocalizations(c.locale), QStringList{c.expected})
            << c.locale.name().toStdString();
    }
    const corbel::StringBundle withoutEnglish(QStringLiteral("/nonexistent"), QStringLiteral("Tidewright"),
                                              {QStringLiteral("de_AT")}, QStringLiteral("en"));
    EXPECT_TRUE(withoutEnglish.preferredLocalizations(QLocale(QLocale::Italian)).isEmpty());
    // Only a variant of the language: still better than none.
    EXPECT_EQ(withoutEnglish.preferredLocalizations(QLocale(QLocale::German, QLocale::Germany)),
              QStringList{QStringLiteral("de_AT")});
}

TEST_F(CopyLookupTest, AMissingLocalisationFileFallsBackToTheBundlesOwnLookup) {
    // A bundle that declares German but ships only the English file.
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    ASSERT_TRUE(QFile::copy(QStringLiteral(TIDEWRIGHT_STRING_TABLE_FOLDER "/Tidewright_en.qm"),
                            folder.filePath(QStringLiteral("Tidewright_en.qm"))));
    const corbel::StringBundle partial = bundleIn(folder.path());
    EXPECT_FALSE(partial.localizationBundle(QStringLiteral("de")).has_value());
    EXPECT_EQ(localizedCopy(TidewrightCopy::ready, QLocale(QLocale::German), partial),
              QStringLiteral("Ready"));

    // The bundle's own lookup follows the process's language.
    QLocale::setDefault(QLocale(QLocale::German));
    EXPECT_EQ(
        tables.localizedString(copyKey(TidewrightCopy::ready), QStringLiteral("TidewrightPresentation")),
        QStringLiteral("Bereit"));
}

TEST_F(CopyLookupTest, TheApplicationsTablesAreTheFilesNamedAfterItsExecutable) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    for (const char* language : {"de", "en"}) {
        const QString file =
            QStringLiteral("Tidewright_") + QString::fromUtf8(language) + QStringLiteral(".qm");
        ASSERT_TRUE(
            QFile::copy(QStringLiteral(TIDEWRIGHT_STRING_TABLE_FOLDER "/") + file, folder.filePath(file)));
    }
    // Neither another program's tables nor a file of another kind count.
    for (const char* other : {"Other_fr.qm", "Tidewright_it.ts"}) {
        QFile file(folder.filePath(QString::fromUtf8(other)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const corbel::StringBundle bundle =
        corbel::StringBundle::beside(folder.filePath(QStringLiteral("Tidewright")));
    EXPECT_EQ(bundle.localizations(), (QStringList{QStringLiteral("de"), QStringLiteral("en")}));
    EXPECT_EQ(bundle.developmentLocalization(), QStringLiteral("en"));
    EXPECT_EQ(localizedCopy(TidewrightCopy::off, QLocale(QLocale::German), bundle), QStringLiteral("Aus"));
    EXPECT_EQ(localizedCopy(TidewrightCopy::off, QLocale(QLocale::Italian), bundle), QStringLiteral("Off"));
}

TEST_F(CopyLookupTest, AKeyWithoutAnEntryComesBackUnchanged) {
    const QString table = QStringLiteral("TidewrightPresentation");
    const QLocale german(QLocale::German);
    EXPECT_EQ(localizedCopy(QStringLiteral("tidewright.nothing"), table, german, tables),
              QStringLiteral("tidewright.nothing"));
    EXPECT_EQ(localizedCopy(QStringLiteral("ready"), table, german, tables), QStringLiteral("ready"));
    EXPECT_EQ(localizedCopy(copyKey(TidewrightCopy::ready), QStringLiteral("Elsewhere"), german, tables),
              QStringLiteral("tidewright.ready"));
    // A bundle with no files at all.
    EXPECT_EQ(localizedCopy(TidewrightCopy::ready, german, bundleIn(QStringLiteral("/nonexistent"))),
              QStringLiteral("tidewright.ready"));
}

} // namespace
} // namespace tidewright
