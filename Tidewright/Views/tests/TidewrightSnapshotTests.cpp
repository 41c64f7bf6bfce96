// Snapshot mode's driver: the command line's options and their precedence, the fixture states, the
// fixture rules resolved through the installed applications, the content it builds, and the
// high-contrast look it gives the snapshot window.

#include "tidewright/views/TidewrightSnapshot.hpp"

#include "corbel/ui/AccessibilityTextSize.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/SnapshotWindow.hpp"
#include "platform/workspace/InstalledApplicationLookup.hpp"
#include "tidewright/views/TidewrightBrand.hpp"
#include "tidewright/views/TidewrightPanel.hpp"
#include "tidewright/views/TidewrightPreferences.hpp"
#include "tidewright/views/TidewrightWelcome.hpp"

#include <QApplication>
#include <QPixmap>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace tidewright {
namespace {

using corbel::ColorScheme;

const corbel::StringBundle& tables() {
    static const corbel::StringBundle bundle(QStringLiteral(TIDEWRIGHT_STRING_TABLE_FOLDER),
                                             QStringLiteral("Tidewright"),
                                             {QStringLiteral("en"), QStringLiteral("de")}, QStringLiteral("en"));
    return bundle;
}

// Installed applications by identifier; an entry may carry no valid identifier of its own.
class FakeLookup final : public platform::InstalledApplicationLookup {
public:
    std::map<std::string, platform::InstalledApplication> installed;

    std::optional<platform::InstalledApplication> installedApplication(const BundleID& id) const override {
        const auto found = installed.find(id.rawValue());
        return found != installed.end() ? std::optional(found->second) : std::nullopt;
    }
    QIcon icon(const platform::InstalledApplication&) const override { return icon_; }

    QIcon icon_ = [] {
        QPixmap pixmap(16, 16);
        pixmap.fill(Qt::red);
        return QIcon(pixmap);
    }();
};

class TidewrightSnapshotTest : public ::testing::Test {
protected:
    void TearDown() override {
        corbel::CorbelSnapshot::reset();
        QLocale::setDefault(QLocale::c());
    }
};

TEST_F(TidewrightSnapshotTest, OptionsAndTheirPrecedence) {
    using State = SnapshotState;
    using View = SnapshotView;
    struct Case {
        const char* name;
        QStringList arguments;
        std::optional<SnapshotOptions> expected;
    };
    const QString current = QStringLiteral("fr_FR");
    const auto options = [&](auto change) {
        SnapshotOptions o;
        o.locale = current;
        change(o);
        return std::optional(o);
    };
    const auto same = [](SnapshotOptions&) {};
    const std::vector<Case> cases{
        {"no argument", {}, std::nullopt},
        {"other arguments only", {QStringLiteral("-snapshot-dark"), QStringLiteral("--Snapshot-dark")}, std::nullopt},
        {"an unknown option still asks", {QStringLiteral("--snapshot-")}, options(same)},
        {"state missing its value", {QStringLiteral("--snapshot-state")}, options(same)},
        {"unknown state", {QStringLiteral("--snapshot-state"), QStringLiteral("Conflicts")}, options(same)},
        {"each state by name",
         {QStringLiteral("--snapshot-state"), QStringLiteral("many")},
         options([](SnapshotOptions& o) { o.state = State::many; })},
        {"the value is the next argument",
         {QStringLiteral("--snapshot-state"), QStringLiteral("--snapshot-state"), QStringLiteral("sync")},
         options(same)},
        {"locale",
         {QStringLiteral("--snapshot-locale"), QStringLiteral("de")},
         options([](SnapshotOptions& o) { o.locale = QStringLiteral("de"); })},
        {"dark", {QStringLiteral("--snapshot-dark")}, options([](SnapshotOptions& o) { o.scheme = ColorScheme::dark; })},
        {"light", {QStringLiteral("--snapshot-light")}, options([](SnapshotOptions& o) { o.scheme = ColorScheme::light; })},
        {"dark with light is dark",
         {QStringLiteral("--snapshot-light"), QStringLiteral("--snapshot-dark")},
         options([](SnapshotOptions& o) { o.scheme = ColorScheme::dark; })},
        {"preferences", {QStringLiteral("--snapshot-preferences")},
         options([](SnapshotOptions& o) { o.view = View::preferences; })},
        {"welcome", {QStringLiteral("--snapshot-welcome")}, options([](SnapshotOptions& o) { o.view = View::welcome; })},
        {"preferences with welcome is preferences",
         {QStringLiteral("--snapshot-welcome"), QStringLiteral("--snapshot-preferences")},
         options([](SnapshotOptions& o) { o.view = View::preferences; })},
        {"asked",
         {QStringLiteral("--snapshot-welcome"), QStringLiteral("--snapshot-asked")},
         options([](SnapshotOptions& o) {
             o.view = View::welcome;
             o.asked = true;
         })},
        {"contrast and large text",
         {QStringLiteral("--snapshot-increased-contrast"), QStringLiteral("--snapshot-large-text")},
         options([](SnapshotOptions& o) {
             o.increasedContrast = true;
             o.largeText = true;
         })},
        {"the chrome's own option asks too", {QStringLiteral("--snapshot-update")}, options(same)},
    };
    for (const Case& c : cases) {
        QStringList arguments{QStringLiteral("/usr/bin/tidewright")};
        arguments += c.arguments;
        EXPECT_EQ(snapshotOptions(arguments, current), c.expected) << c.name;
    }
}

TEST_F(TidewrightSnapshotTest, EachStateGivesItsDecision) {
    struct Case {
        SnapshotState state;
        FunctioningState::Case kind;
        ShortcutSet conflicting;
        std::vector<TidewrightIssue> issues;
        bool enabled;
    };
    const std::vector<Case> cases{
        {SnapshotState::ready, FunctioningState::Case::running, {}, {}, true},
        {SnapshotState::off, FunctioningState::Case::off, {}, {}, false},
        {SnapshotState::permissions, FunctioningState::Case::needsPermissions, {}, {}, true},
        {SnapshotState::conflicts, FunctioningState::Case::running, {FixedShortcut::left}, {}, true},
        {SnapshotState::sync, FunctioningState::Case::needsPreferences, {}, {TidewrightIssue::preferences}, true},
        {SnapshotState::many, FunctioningState::Case::running, {}, {}, true},
    };
    ASSERT_EQ(cases.size(), allSnapshotStates.size());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(rawValue(c.state)));
        EXPECT_EQ(snapshotStateFromRawValue(rawValue(c.state)), c.state);
        const SnapshotFixture fixture = snapshotFixture(c.state);
        EXPECT_EQ(fixture.decision.state.kind(), c.kind);
        EXPECT_EQ(fixture.decision.conflictingShortcuts, c.conflicting);
        EXPECT_EQ(fixture.issues, c.issues);
        EXPECT_EQ(fixture.isEnabled, c.enabled);
        EXPECT_EQ(fixture.registrations.size(), 6u);
        EXPECT_EQ(fixture.permission,
                  c.state == SnapshotState::permissions ? PermissionState::denied : PermissionState::granted);
    }
}

TEST_F(TidewrightSnapshotTest, RulesResolveThroughTheInstalledApplications) {
    FakeLookup nothing;
    // None installed: the identifiers as names, no icons, sorted by name.
    const std::vector<TidewrightRulePresentation> many = snapshotApplications(SnapshotState::many, nothing);
    ASSERT_EQ(many.size(), 11u);
    for (const TidewrightRulePresentation& rule : many) {
        EXPECT_EQ(rule.name.toStdString(), rule.id.rawValue());
        EXPECT_FALSE(rule.icon.has_value());
    }
    for (std::size_t i = 1; i < many.size(); ++i) {
        EXPECT_FALSE(ruleOrder(many[i], many[i - 1])) << i;
    }
    const auto actionOf = [&](const char* id) {
        return std::find_if(many.begin(), many.end(), [&](const auto& rule) { return rule.id.rawValue() == id; })
            ->action;
    };
    EXPECT_EQ(actionOf("com.apple.iCal"), OpeningAction::maximize);
    EXPECT_EQ(actionOf("com.apple.mail"), OpeningAction::center);

    // Safari installed under another name; TextEdit's entry has no valid identifier of its own.
    FakeLookup some;
    some.installed.emplace("com.apple.Safari",
                           platform::InstalledApplication{QStringLiteral("com.apple.Safari"),
                                                          BundleID("com.apple.Safari"), QStringLiteral("Browser"),
                                                          QStringLiteral("browser")});
    some.installed.emplace("com.apple.TextEdit",
                           platform::InstalledApplication{QStringLiteral("textedit"), std::nullopt,
                                                          QStringLiteral("Editor"), QString()});
    const std::vector<TidewrightRulePresentation> shortList = snapshotApplications(SnapshotState::ready, some);
    ASSERT_EQ(shortList.size(), 2u);
    EXPECT_EQ(shortList[0].name, QStringLiteral("Browser")) << "sorted by the installed name";
    EXPECT_EQ(shortList[0].action, OpeningAction::maximize);
    ASSERT_TRUE(shortList[0].icon.has_value());
    EXPECT_EQ(shortList[0].icon->cacheKey(), some.icon_.cacheKey());
    EXPECT_EQ(shortList[1].name, QStringLiteral("com.apple.TextEdit"));
    EXPECT_FALSE(shortList[1].icon.has_value());
    for (SnapshotState state : allSnapshotStates) {
        EXPECT_EQ(snapshotApplications(state, nothing).size(), state == SnapshotState::many ? 11u : 2u);
    }
}

TEST_F(TidewrightSnapshotTest, ThePanelsContentOverTheFixture) {
    FakeLookup nothing;
    SnapshotOptions options;
    options.state = SnapshotState::conflicts;
    options.locale = QStringLiteral("de_DE");
    options.scheme = ColorScheme::dark;
    options.largeText = true;
    const std::unique_ptr<QWidget> content = makeSnapshotContent(options, nothing, tables());
    auto* panel = dynamic_cast<TidewrightPanel*>(content.get());
    ASSERT_NE(panel, nullptr);
    const SnapshotFixture fixture = snapshotFixture(SnapshotState::conflicts);
    EXPECT_EQ(panel->props(), (TidewrightPanelProps{true, fixture.decision, {}}));
    EXPECT_EQ(panel->chrome().activeNotifier(), nullptr) << "no update check in snapshot mode";
    EXPECT_EQ(corbel::schemeOf(panel->palette()), ColorScheme::dark);
    EXPECT_EQ(corbel::tintOf(panel->palette()), tidewrightBrand().accent(ColorScheme::dark));
    EXPECT_EQ(corbel::KitEnvironment::values(*panel).textSizeFactor, corbel::largestTextSizeFactor);
    EXPECT_EQ(panel->chrome().props().status,
              localizedCopy(TidewrightCopy::attention, QLocale(QLocale::German), tables()));
    EXPECT_EQ(snapshotSurface(SnapshotView::panel), corbel::CorbelSnapshot::Surface::menu);
    EXPECT_EQ(snapshotSurface(SnapshotView::welcome), corbel::CorbelSnapshot::Surface::welcome);
    EXPECT_EQ(snapshotSurface(SnapshotView::preferences), corbel::CorbelSnapshot::Surface::welcome);
}

TEST_F(TidewrightSnapshotTest, ThePreferencesAndTheWelcomeOverTheFixture) {
    FakeLookup nothing;
    const auto build = [&](SnapshotView view, SnapshotState state, bool asked = false) {
        SnapshotOptions options;
        options.view = view;
        options.state = state;
        options.locale = QStringLiteral("en");
        options.asked = asked;
        return makeSnapshotContent(options, nothing, tables());
    };
    for (SnapshotState state : allSnapshotStates) {
        SCOPED_TRACE(std::string(rawValue(state)));
        const std::unique_ptr<QWidget> content = build(SnapshotView::preferences, state);
        auto* preferences = dynamic_cast<TidewrightPreferences*>(content.get());
        ASSERT_NE(preferences, nullptr);
        const SnapshotFixture fixture = snapshotFixture(state);
        const TidewrightPreferencesProps& props = preferences->props();
        EXPECT_FALSE(props.opensAtLogin);
        EXPECT_EQ(props.rules, snapshotApplications(state, nothing));
        ASSERT_EQ(props.openApps.size(), props.rules.size()) << "every fixture application is open";
        for (std::size_t i = 0; i < props.rules.size(); ++i) {
            EXPECT_EQ(props.openApps[i], (TidewrightOpenAppPresentation{props.rules[i].id, props.rules[i].name}));
        }
        EXPECT_EQ(props.permissions, WindowPermissions{fixture.permission});
        EXPECT_EQ(props.decision, fixture.decision);
        EXPECT_EQ(props.issues, fixture.issues);
        const std::vector<FixedShortcut> conflicting =
            state == SnapshotState::conflicts ? std::vector{FixedShortcut::left} : std::vector<FixedShortcut>{};
        EXPECT_EQ(preferences->shownShortcuts(), conflicting);
        EXPECT_EQ(preferences->generalWarnings().size(), state == SnapshotState::sync ? 2u : 0u)
            << "preferences unavailable, then the sync issue";
    }
    for (bool asked : {false, true}) {
        for (SnapshotState state : {SnapshotState::ready, SnapshotState::permissions}) {
            const std::unique_ptr<QWidget> content = build(SnapshotView::welcome, state, asked);
            auto* welcome = dynamic_cast<TidewrightWelcome*>(content.get());
            ASSERT_NE(welcome, nullptr);
            EXPECT_EQ(welcome->props(),
                      (TidewrightWelcomeProps{false, WindowPermissions{snapshotFixture(state).permission}}));
            EXPECT_EQ(welcome->asked(), asked);
            EXPECT_EQ(welcome->stepRow().showsAction(), state == SnapshotState::permissions)
                << "the allow button, or the settings button once asked, until the permission is granted";
        }
    }
}

TEST_F(TidewrightSnapshotTest, IncreasedContrastLeavesTheSchemeToTheWindow) {
    FakeLookup nothing;
    const ColorScheme application = corbel::schemeOf(QApplication::palette());
    const ColorScheme other = application == ColorScheme::dark ? ColorScheme::light : ColorScheme::dark;
    SnapshotOptions options;
    options.locale = QStringLiteral("en");
    options.scheme = other;
    options.increasedContrast = true;
    const std::unique_ptr<QWidget> content = makeSnapshotContent(options, nothing, tables());
    EXPECT_EQ(corbel::schemeOf(content->palette()), application) << "the scheme option is not applied";
    EXPECT_FALSE(corbel::KitEnvironment::values(*content).increasedContrast);

    // No snapshot window yet: nothing changes.
    applyIncreasedContrast(other, *content, corbel::CorbelSnapshot::Surface::menu);
    EXPECT_FALSE(corbel::KitEnvironment::values(*content).increasedContrast);

    corbel::SnapshotWindow& window =
        corbel::CorbelSnapshot::show(*content, tidewrightBrand(), corbel::CorbelSnapshot::Surface::menu);
    const QImage before = window.content();
    applyIncreasedContrast(other, *content, corbel::CorbelSnapshot::Surface::menu);
    EXPECT_TRUE(corbel::KitEnvironment::values(*content).increasedContrast);
    EXPECT_EQ(content->palette(), corbel::kitPalette(other, true, tidewrightBrand().accent(other)));
    EXPECT_EQ(window.content().size(), before.size());
    EXPECT_NE(window.content(), before) << "drawn again in the high-contrast look";

    // Without a scheme, the one the content shows stays.
    applyIncreasedContrast(std::nullopt, *content, corbel::CorbelSnapshot::Surface::menu);
    EXPECT_EQ(content->palette(), corbel::kitPalette(other, true, tidewrightBrand().accent(other)));
}

} // namespace
} // namespace tidewright
