// Issues, the notices built from the decision and the issues, the shortcut help's order, and the
// application's brand.

#include "tidewright/views/TidewrightBrand.hpp"
#include "tidewright/views/TidewrightNotice.hpp"
#include "tidewright/views/TidewrightShortcutHelp.hpp"

#include <gtest/gtest.h>

#include <vector>

namespace tidewright {
namespace {

using Action = TidewrightPresentationAction;
using Issue = TidewrightIssue;

TEST(TidewrightIssueTest, RawValuesAreTheCaseNames) {
    const std::vector<std::pair<Issue, std::string_view>> cases{
        {Issue::operation, "operation"},
        {Issue::preferences, "preferences"},
        {Issue::login, "login"},
        {Issue::settings, "settings"},
    };
    ASSERT_EQ(allTidewrightIssues.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        EXPECT_EQ(allTidewrightIssues[i], cases[i].first);
        EXPECT_EQ(rawValue(cases[i].first), cases[i].second);
        EXPECT_EQ(tidewrightIssueFromRawValue(cases[i].second), cases[i].first);
    }
    for (std::string_view text : {"Operation", "", "permissions", "tidewright.login"}) {
        EXPECT_EQ(tidewrightIssueFromRawValue(text), std::nullopt) << text;
    }
}

const TidewrightNotice permissionsNotice{QStringLiteral("permissions"), TidewrightCopy::permissionsTitle,
                                         TidewrightCopy::permissionsNote,
                                         TidewrightCopy::configurePermissions, Action::permissions};
const TidewrightNotice preferencesNotice{
    QStringLiteral("preferences"), TidewrightCopy::preferencesUnavailable,
    TidewrightCopy::preferencesUnavailableNote, TidewrightCopy::preferences, Action::preferences};
const TidewrightNotice conflictsNotice{QStringLiteral("conflicts"), TidewrightCopy::conflictsTitle,
                                       TidewrightCopy::conflictsNote, TidewrightCopy::checkShortcuts,
                                       Action::shortcutHelp};

TidewrightNotice issueNotice(const char* id, TidewrightCopy title, TidewrightCopy message) {
    return {QString::fromUtf8(id), title, message, std::nullopt, std::nullopt};
}

const TidewrightNotice operationNotice =
    issueNotice("operation", TidewrightCopy::operationFailed, TidewrightCopy::operationFailedNote);
const TidewrightNotice syncNotice =
    issueNotice("preferences", TidewrightCopy::syncIssue, TidewrightCopy::syncIssueNote);
const TidewrightNotice loginNotice =
    issueNotice("login", TidewrightCopy::loginIssue, TidewrightCopy::loginIssueNote);
const TidewrightNotice settingsNotice =
    issueNotice("settings", TidewrightCopy::settingsIssue, TidewrightCopy::settingsIssueNote);

TEST(MakeNoticesTest, StateNoticeFirstThenOnePerIssueInOrder) {
    const auto permissions = [](PermissionState state) {
        return FunctioningState::needsPermissions(WindowPermissions{state});
    };
    struct Case {
        const char* name;
        FunctioningState state;
        ShortcutSet conflicting;
        std::vector<Issue> issues;
        std::vector<TidewrightNotice> expected;
    };
    const std::vector<Case> cases{
        {"off, nothing", FunctioningState::off(), {}, {}, {}},
        {"off with issues",
         FunctioningState::off(),
         {},
         {Issue::login, Issue::operation},
         {loginNotice, operationNotice}},
        {"off ignores conflicts", FunctioningState::off(), {FixedShortcut::c}, {}, {}},
        {"running, nothing", FunctioningState::running(), {}, {}, {}},
        {"running with a conflict", FunctioningState::running(), {FixedShortcut::d}, {}, {conflictsNotice}},
        {"running with conflicts and an issue",
         FunctioningState::running(),
         {FixedShortcut::left, FixedShortcut::c},
         {Issue::settings},
         {conflictsNotice, settingsNotice}},
        {"permission unknown", permissions(PermissionState::unknown), {}, {}, {permissionsNotice}},
        {"permission denied",
         permissions(PermissionState::denied),
         {FixedShortcut::up},
         {},
         {permissionsNotice}},
        {"permission granted yet needed",
         permissions(PermissionState::granted),
         {},
         {Issue::operation},
         {permissionsNotice, operationNotice}},
        {"both preferences notices",
         FunctioningState::needsPreferences(),
         {},
         {Issue::preferences},
         {preferencesNotice, syncNotice}},
        {"every issue in the model's order",
         FunctioningState::needsPreferences(),
         {},
         {Issue::settings, Issue::preferences, Issue::login, Issue::operation},
         {preferencesNotice, settingsNotice, syncNotice, loginNotice, operationNotice}},
    };
    for (const Case& c : cases) {
        const std::vector<TidewrightNotice> notices = makeNotices(c.state, c.conflicting, c.issues);
        EXPECT_EQ(notices, c.expected) << c.name;
        for (const TidewrightNotice& notice : notices) {
            EXPECT_EQ(notice.button.has_value(), notice.action.has_value()) << c.name;
        }
    }
}

TEST(ShortcutHelpTest, ListsTheSetInTheHotKeysOrder) {
    using S = FixedShortcut;
    const std::vector<std::pair<ShortcutSet, std::vector<S>>> cases{
        {{S::c, S::left, S::down}, {S::left, S::down, S::c}},
        {{}, {}},
        {{S::d}, {S::d}},
        {{S::c, S::down, S::d, S::up, S::right, S::left}, {S::left, S::right, S::up, S::d, S::down, S::c}},
    };
    for (const auto& [set, expected] : cases) {
        EXPECT_EQ(shortcutHelp(set), expected);
    }
}

TEST(TidewrightBrandTest, IsTheBrandBlueWithADarkAccentOnly) {
    const corbel::CorbelBrand& brand = tidewrightBrand();
    EXPECT_EQ(&brand, &tidewrightBrand());
    EXPECT_EQ(brand.name(), QStringLiteral("Tidewright"));
    EXPECT_EQ(brand.color(), QColor(36, 92, 242));
    EXPECT_EQ(brand.connection(), corbel::CorbelBrand::Connection::offline);
    EXPECT_EQ(brand.accent(corbel::ColorScheme::dark), QColor(107, 152, 255));
    EXPECT_EQ(brand.accent(corbel::ColorScheme::light), QColor(36, 92, 242));
    EXPECT_FALSE(brand.lightAccent().has_value());
    EXPECT_EQ(brand.buttonLabelColor(), QColor(Qt::white));
    // It fetches its update feed, so the privacy line must not promise no internet.
    EXPECT_EQ(brand.privacyLine().text, corbel::KitLabel::noDataCollected);
}

} // namespace
} // namespace tidewright
