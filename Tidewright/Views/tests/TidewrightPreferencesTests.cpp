// The preferences view: which groups and rows each state shows, the add row and its menu, the
// conflicting shortcuts, the rule rows' identity across updates and their accessibility, and how
// the whole window looks.

#include "tidewright/views/TidewrightPreferences.hpp"

#include "ViewsTesting.hpp"
#include "corbel/ui/AccessibilityTextSize.hpp"
#include "corbel/ui/KeyCaps.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/KitMenuButton.hpp"
#include "corbel/ui/KitSwitch.hpp"
#include "corbel/ui/PreferencesLayout.hpp"
#include "corbel/ui/PreferencesRows.hpp"
#include "corbel/ui/TextLabel.hpp"
#include "tidewright/views/TidewrightCopy.hpp"
#include "tidewright/views/TidewrightRuleRow.hpp"

#include <QAccessibleActionInterface>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace tidewright {
namespace {

using namespace Qt::Literals::StringLiterals;
using corbel::ColorScheme;
using testing::english;
using testing::german;
using testing::rule;

QString en(TidewrightCopy copy) {
    return localizedCopy(copy, english);
}

AppDecision decision(FunctioningState state, ShortcutSet conflicting = {}) {
    return {state, {}, {}, std::move(conflicting), true};
}

AppDecision running() {
    return decision(FunctioningState::running());
}

std::vector<TidewrightRulePresentation> shortRules() {
    return {rule("org.gnome.Nautilus", u"Files"_s, OpeningAction::center),
            rule("org.mozilla.firefox", u"Firefox"_s, OpeningAction::maximize),
            rule("org.gnome.Terminal", u"Terminal"_s, OpeningAction::center)};
}

std::vector<TidewrightOpenAppPresentation> openApps() {
    return {{BundleID("org.gnome.Nautilus"), u"Files"_s}, {BundleID("org.gnome.TextEditor"), u"Text Editor"_s}};
}

TidewrightPreferences::Props readyProps() {
    return {.opensAtLogin = true,
            .rules = shortRules(),
            .openApps = openApps(),
            .permissions = {PermissionState::granted},
            .decision = running()};
}

// A view in a window of its own, laid out at its width as a window would show it.
struct Window {
    QWidget host;
    TidewrightPreferences* view;

    explicit Window(TidewrightPreferences::Props props, TidewrightPreferencesActions actions = {},
                    ColorScheme scheme = ColorScheme::light, const QLocale& locale = english) {
        testing::prepareHost(host, scheme, locale);
        auto* column = new QVBoxLayout(&host);
        column->setContentsMargins(0, 0, 0, 0);
        view = new TidewrightPreferences(std::move(props), std::move(actions), &host);
        column->addWidget(view);
        layOut();
    }
    void layOut() { render(); }
    QImage render() { return corbel::testing::renderOffscreen(host, QSize(560, host.heightForWidth(560))); }
};

std::vector<QString> warningTitles(const TidewrightPreferences& view) {
    std::vector<QString> titles;
    for (corbel::PreferencesStatusRow* row : view.generalWarnings()) {
        EXPECT_EQ(row->props().status, corbel::PreferencesStatus::warning);
        titles.push_back(row->props().title);
    }
    return titles;
}

TEST(TidewrightPreferencesTest, GroupsAndRowsFollowTheStateTheIssuesAndThePermission) {
    struct Case {
        const char* name;
        FunctioningState state;
        std::vector<TidewrightIssue> issues;
        PermissionState permission;
        std::vector<QString> generalWarnings;
        bool settingsIssue;
    };
    const std::vector<Case> cases{
        {"running, granted, no issue", FunctioningState::running(), {}, PermissionState::granted, {}, false},
        {"preferences unavailable comes first",
         FunctioningState::needsPreferences(),
         {TidewrightIssue::login},
         PermissionState::granted,
         {en(TidewrightCopy::preferencesUnavailable), en(TidewrightCopy::loginIssue)},
         false},
        {"issues in list order; operation nowhere, settings only under permissions",
         FunctioningState::running(),
         {TidewrightIssue::operation, TidewrightIssue::login, TidewrightIssue::settings, TidewrightIssue::preferences},
         PermissionState::granted,
         {en(TidewrightCopy::loginIssue), en(TidewrightCopy::syncIssue)},
         true},
        {"permission unknown", FunctioningState::needsPermissions({PermissionState::unknown}), {},
         PermissionState::unknown, {}, false},
        {"permission denied", FunctioningState::needsPermissions({PermissionState::denied}),
         {TidewrightIssue::settings}, PermissionState::denied, {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TidewrightPreferences::Props props = readyProps();
        props.decision = decision(c.state);
        props.issues = c.issues;
        props.permissions = {c.permission};
        Window window(props);
        TidewrightPreferences& view = *window.view;
        EXPECT_EQ(warningTitles(view), c.generalWarnings);
        EXPECT_EQ(view.settingsIssueRow().isVisibleTo(&view), c.settingsIssue);
        if (c.settingsIssue) {
            EXPECT_EQ(view.settingsIssueRow().props().detail, en(TidewrightCopy::settingsIssueNote));
        }
        const bool granted = c.permission == PermissionState::granted;
        EXPECT_EQ(view.grantedMark().isVisibleTo(&view), granted);
        EXPECT_EQ(view.allowButton().isVisibleTo(&view), !granted) << "unknown looks like denied";
        EXPECT_EQ(view.permissionSettingsButton().isVisibleTo(&view), !granted);
        EXPECT_EQ(view.moveRecoveryNote().isVisibleTo(&view), !granted);
        EXPECT_FALSE(view.group(TidewrightPreferences::Group::shortcuts).isVisibleTo(&view));
        for (auto group : {TidewrightPreferences::Group::general, TidewrightPreferences::Group::opening,
                           TidewrightPreferences::Group::permissions}) {
            EXPECT_TRUE(view.group(group).isVisibleTo(&view));
        }
        // No text of the operation issue anywhere.
        for (corbel::TextLabel* label : view.findChildren<corbel::TextLabel*>()) {
            if (label->isVisibleTo(&view)) {
                EXPECT_NE(label->props().text, en(TidewrightCopy::operationFailed));
            }
        }
    }
}

TEST(TidewrightPreferencesTest, TheGroupsAreTitledAndTheTextsFollowTheLanguage) {
    Window window(readyProps(), {}, ColorScheme::light, german);
    TidewrightPreferences& view = *window.view;
    EXPECT_EQ(view.group(TidewrightPreferences::Group::general).props().title,
              localizedCopy(TidewrightCopy::generalGroup, german));
    EXPECT_NE(localizedCopy(TidewrightCopy::generalGroup, german), en(TidewrightCopy::generalGroup));
    EXPECT_EQ(view.loginRow().props().title, localizedCopy(TidewrightCopy::openAtLogin, german));
    EXPECT_TRUE(view.loginRow().props().isOn);
    window.host.setLocale(english);
    EXPECT_EQ(view.group(TidewrightPreferences::Group::opening).props().title, en(TidewrightCopy::openingGroup));
    EXPECT_EQ(view.ruleRow(BundleID("org.gnome.Nautilus"))->actionMenu().props().title,
              en(TidewrightCopy::center));
}

TEST(TidewrightPreferencesTest, TheAddRowSitsEightBelowNoRulesAndSixteenBelowRules) {
    struct Case {
        const char* name;
        std::vector<TidewrightRulePresentation> rules;
        int above;
    };
    for (const Case& c : {Case{"no rules", {}, 8}, Case{"rules", shortRules(), 16}}) {
        SCOPED_TRACE(c.name);
        TidewrightPreferences::Props props = readyProps();
        props.rules = c.rules;
        Window window(props);
        TidewrightPreferences& view = *window.view;
        EXPECT_EQ(view.noRulesRow().isVisibleTo(&view), c.rules.empty());
        EXPECT_EQ(view.noRulesRow().props().status, corbel::PreferencesStatus::info);
        EXPECT_EQ(view.noRulesRow().props().title, en(TidewrightCopy::noRules));
        EXPECT_EQ(view.noRulesRow().props().detail, en(TidewrightCopy::noRulesNote));
        EXPECT_EQ(view.ruleRows().size(), c.rules.size());
        EXPECT_EQ(view.addRow().contentsMargins(), QMargins(0, c.above, 0, 8));
        // Side by side in the card's width: the menu first, 8 between them, centred.
        EXPECT_FALSE(view.addRowIsStacked());
        EXPECT_EQ(view.chooseButton().x(), view.addMenu().geometry().right() + 1 + 8);
        EXPECT_EQ(view.addMenu().geometry().center().y(), view.chooseButton().geometry().center().y());
    }
}

TEST(TidewrightPreferencesTest, TheAddRowStacksWhenItDoesNotFit) {
    TidewrightPreferences::Props props = readyProps();
    Window window(props);
    QWidget& row = window.view->addRow();
    const int sideBySide = row.layout()->sizeHint().width();
    EXPECT_FALSE(window.view->addRowIsStacked());
    row.resize(sideBySide - 1, row.heightForWidth(sideBySide - 1));
    row.layout()->setGeometry(row.contentsRect());
    EXPECT_TRUE(window.view->addRowIsStacked());
    EXPECT_EQ(window.view->chooseButton().x(), 0) << "one under the other at the leading edge";
    EXPECT_EQ(window.view->chooseButton().y(), window.view->addMenu().geometry().bottom() + 1 + 8);
}

std::vector<QAction*> openAddMenu(TidewrightPreferences& view) {
    view.addMenu().openMenu();
    QMenu* menu = view.addMenu().menu();
    EXPECT_NE(menu, nullptr);
    std::vector<QAction*> actions;
    for (QAction* action : menu->actions()) {
        actions.push_back(action);
    }
    return actions;
}

TEST(TidewrightPreferencesTest, TheAddMenuOffersOpenApplicationsThatHaveNoRuleYet) {
    std::vector<BundleID> added;
    TidewrightPreferencesActions actions{.addOpenApp = [&](const BundleID& id) { added.push_back(id); }};

    // No open application: only the text that says so.
    TidewrightPreferences::Props none = readyProps();
    none.openApps.clear();
    Window empty(none, actions);
    EXPECT_EQ(empty.view->addMenu().props().title, en(TidewrightCopy::addOpenApp));
    std::vector<QAction*> entries = openAddMenu(*empty.view);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0]->text(), en(TidewrightCopy::noOpenApps));
    entries[0]->trigger();
    EXPECT_TRUE(added.empty());

    // Every open application already has a rule: each is listed and none can be chosen.
    TidewrightPreferences::Props all = readyProps();
    all.openApps = {{BundleID("org.gnome.Terminal"), u"Terminal"_s}, {BundleID("org.gnome.Nautilus"), u"Q&A"_s}};
    Window full(all, actions);
    entries = openAddMenu(*full.view);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0]->text(), u"Terminal"_s);
    EXPECT_EQ(entries[1]->text(), u"Q&&A"_s) << "the name verbatim, no mnemonic";
    EXPECT_FALSE(entries[0]->isEnabled());
    EXPECT_FALSE(entries[1]->isEnabled());

    // An application without a rule can be chosen; the id is compared exactly.
    TidewrightPreferences::Props some = readyProps();
    some.openApps = {{BundleID("org.gnome.nautilus"), u"files"_s}, {BundleID("org.gnome.Nautilus"), u"Files"_s}};
    Window partly(some, actions);
    entries = openAddMenu(*partly.view);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[0]->isEnabled());
    EXPECT_FALSE(entries[1]->isEnabled());
    entries[0]->trigger();
    EXPECT_EQ(added, std::vector<BundleID>{BundleID("org.gnome.nautilus")});
}

TEST(TidewrightPreferencesTest, ConflictingShortcutsComeInTheHotKeysOrderWithTheirCaps) {
    std::vector<TidewrightPresentationAction> asked;
    TidewrightPreferences::Props props = readyProps();
    props.decision = decision(FunctioningState::running(), {FixedShortcut::d, FixedShortcut::left});
    Window window(props, {.action = [&](TidewrightPresentationAction action) { asked.push_back(action); }});
    TidewrightPreferences& view = *window.view;
    ASSERT_TRUE(view.group(TidewrightPreferences::Group::shortcuts).isVisibleTo(&view));
    EXPECT_EQ(view.group(TidewrightPreferences::Group::shortcuts).props().title, en(TidewrightCopy::shortcutsGroup));
    EXPECT_EQ(view.shownShortcuts(), (std::vector<FixedShortcut>{FixedShortcut::left, FixedShortcut::d}));
    corbel::PreferencesRow& left = view.shortcutRow(FixedShortcut::left);
    corbel::PreferencesRow& d = view.shortcutRow(FixedShortcut::d);
    EXPECT_LT(left.mapTo(&view, QPoint()).y(), d.mapTo(&view, QPoint()).y());
    EXPECT_EQ(left.props().title, en(TidewrightCopy::leftHalf));
    EXPECT_EQ(left.props().note, en(TidewrightCopy::shortcutUnavailable));
    EXPECT_FALSE(left.props().controlIsNamed);
    auto& caps = dynamic_cast<corbel::KeyCaps&>(d.control());
    EXPECT_EQ(caps.props().keys, (QStringList{u"⌃"_s, u"⌥"_s, u"D"_s}));
    EXPECT_EQ(testing::accessibleText(caps), en(TidewrightCopy::dKey));

    QTest::mouseClick(&view.shortcutSettingsButton(), Qt::LeftButton);
    EXPECT_EQ(asked, std::vector<TidewrightPresentationAction>{TidewrightPresentationAction::systemSettings});
    EXPECT_EQ(view.shortcutSettingsButton().props().title, en(TidewrightCopy::systemSettings));

    // The conflict resolves: the group goes.
    props.decision = running();
    view.setProps(props);
    EXPECT_FALSE(view.group(TidewrightPreferences::Group::shortcuts).isVisibleTo(&view));
}

TEST(TidewrightPreferencesTest, ThePermissionControlsAskAndReadAsTheyShould) {
    int requests = 0;
    std::vector<TidewrightPresentationAction> asked;
    TidewrightPreferences::Props props = readyProps();
    props.permissions = {PermissionState::denied};
    Window window(props, {.requestPermission = [&] { ++requests; },
                          .action = [&](TidewrightPresentationAction action) { asked.push_back(action); }});
    TidewrightPreferences& view = *window.view;
    EXPECT_EQ(testing::accessibleText(view.allowButton()),
              en(TidewrightCopy::allow) + u" "_s + en(TidewrightCopy::moveWindows));
    QTest::mouseClick(&view.allowButton(), Qt::LeftButton);
    QTest::mouseClick(&view.permissionSettingsButton(), Qt::LeftButton);
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(asked, std::vector<TidewrightPresentationAction>{TidewrightPresentationAction::systemSettings});
    EXPECT_TRUE(view.moveWindowsRow().props().controlIsNamed);

    props.permissions = {PermissionState::granted};
    view.setProps(props);
    EXPECT_EQ(testing::accessibleText(view.grantedMark()), en(TidewrightCopy::moveWindows));
    EXPECT_EQ(testing::accessibleText(view.grantedMark(), QAccessible::Value), en(TidewrightCopy::permissionGranted));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&view.grantedMark())->childCount(), 0);
}

TEST(TidewrightPreferencesTest, RuleRowsKeepTheirWidgetsAndFocusAcrossUpdates) {
    Window window(readyProps());
    TidewrightPreferences& view = *window.view;
    TidewrightRuleRow* terminal = view.ruleRow(BundleID("org.gnome.Terminal"));
    ASSERT_NE(terminal, nullptr);
    terminal->actionMenu().setFocus();
    ASSERT_EQ(window.host.focusWidget(), &terminal->actionMenu());

    // A rule comes before it, another goes, its action changes: the same row, still focused.
    TidewrightPreferences::Props props = readyProps();
    props.rules = {rule("com.example.Atlas", u"Atlas"_s, OpeningAction::maximize),
                   rule("org.gnome.Terminal", u"Terminal"_s, OpeningAction::maximize),
                   rule("org.gnome.Nautilus", u"Files"_s, OpeningAction::center)};
    view.setProps(props);
    EXPECT_EQ(view.ruleRow(BundleID("org.gnome.Terminal")), terminal);
    EXPECT_EQ(window.host.focusWidget(), &terminal->actionMenu());
    EXPECT_EQ(terminal->actionMenu().props().title, en(TidewrightCopy::maximize));
    EXPECT_EQ(view.ruleRow(BundleID("org.mozilla.firefox")), nullptr);
    const std::vector<TidewrightRuleRow*> rows = view.ruleRows();
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0]->props().rule.name, u"Atlas"_s);
    EXPECT_EQ(rows[1], terminal);

    // A larger text size turns the row without making it anew.
    corbel::KitEnvironment::of(window.host).setTextSizeFactor(corbel::largestTextSizeFactor);
    EXPECT_EQ(view.ruleRow(BundleID("org.gnome.Terminal")), terminal);
    EXPECT_TRUE(terminal->isStacked());
    EXPECT_EQ(window.host.focusWidget(), &terminal->actionMenu());
}

TEST(TidewrightPreferencesTest, ARuleRowChoosesRemovesAndReadsAsItsMenu) {
    std::vector<std::pair<BundleID, OpeningAction>> changes;
    std::vector<BundleID> removals;
    TidewrightPreferences::Props props = readyProps();
    props.rules = {rule("org.gnome.Nautilus", u"Files"_s, OpeningAction::center, testing::letterIcon(Qt::blue, u'F')),
                   rule("org.gnome.Terminal", u"Terminal"_s, OpeningAction::maximize)};
    Window window(props, {.changeRule = [&](const BundleID& id, OpeningAction action) { changes.emplace_back(id, action); },
                          .removeRule = [&](const BundleID& id) { removals.push_back(id); }});
    TidewrightRuleRow& files = *window.view->ruleRow(BundleID("org.gnome.Nautilus"));
    TidewrightRuleRow& terminal = *window.view->ruleRow(BundleID("org.gnome.Terminal"));

    corbel::KitMenuButton& menu = files.actionMenu();
    EXPECT_EQ(testing::accessibleText(menu), en(TidewrightCopy::ruleAction) + u" Files"_s);
    EXPECT_EQ(testing::accessibleText(menu, QAccessible::Value), en(TidewrightCopy::center));
    EXPECT_EQ(menu.props().options, (QStringList{en(TidewrightCopy::maximize), en(TidewrightCopy::center)}));
    EXPECT_EQ(menu.props().selected, 1);
    // The menu keeps the wider text's room whichever action is chosen.
    EXPECT_EQ(menu.sizeHint().width(), terminal.actionMenu().sizeHint().width());
    EXPECT_FALSE(corbel::accessiblyVisible(files.nameRow())) << "the name is read through the menu";

    // The menu: the two actions, a divider, remove.
    menu.openMenu();
    const QList<QAction*> entries = menu.menu()->actions();
    ASSERT_EQ(entries.size(), 4);
    EXPECT_TRUE(entries[2]->isSeparator());
    EXPECT_EQ(entries[3]->text(), en(TidewrightCopy::remove));
    entries[0]->trigger();
    entries[3]->trigger();

    // The named action of accessibility tools.
    QAccessibleActionInterface* named = QAccessible::queryAccessibleInterface(&terminal.actionMenu())->actionInterface();
    ASSERT_NE(named, nullptr);
    const QString removeTerminal = en(TidewrightCopy::removeRule) + u" Terminal"_s;
    EXPECT_TRUE(named->actionNames().contains(removeTerminal));
    named->doAction(removeTerminal);

    EXPECT_EQ(changes, (std::vector<std::pair<BundleID, OpeningAction>>{{BundleID("org.gnome.Nautilus"),
                                                                         OpeningAction::maximize}}));
    EXPECT_EQ(removals, (std::vector<BundleID>{BundleID("org.gnome.Nautilus"), BundleID("org.gnome.Terminal")}));

    // With or without an icon, the names start at one edge.
    EXPECT_EQ(files.icon().size(), QSize(24, 24));
    EXPECT_EQ(terminal.icon().size(), QSize(24, 24));
    EXPECT_EQ(files.name().mapTo(window.view, QPoint()).x(), terminal.name().mapTo(window.view, QPoint()).x());
}

TEST(TidewrightPreferencesTest, AtAccessibilitySizesTheMenuStandsUnderTheNameAtTheTrailingEdge) {
    Window window(readyProps());
    corbel::KitEnvironment::of(window.host).setTextSizeFactor(corbel::accessibilityTextSizeFactor);
    window.layOut();
    TidewrightRuleRow& row = *window.view->ruleRow(BundleID("org.gnome.Nautilus"));
    ASSERT_TRUE(row.isStacked());
    EXPECT_EQ(row.actionMenu().y(), row.nameRow().geometry().bottom() + 1 + 8);
    EXPECT_EQ(row.actionMenu().geometry().right(), row.width() - 1);
    EXPECT_EQ(row.nameRow().x(), 0);

    corbel::KitEnvironment::of(window.host).setTextSizeFactor(1);
    window.layOut();
    EXPECT_FALSE(row.isStacked());
    EXPECT_EQ(row.actionMenu().x(), row.nameRow().geometry().right() + 1 + 12);
}

TEST(TidewrightPreferencesTest, TheSwitchAsksAndTheOwnerAnswers) {
    std::vector<bool> asked;
    TidewrightPreferences::Props props = readyProps();
    props.opensAtLogin = false;
    Window window(props, {.setOpensAtLogin = [&](bool on) { asked.push_back(on); }});
    QTest::mouseClick(&window.view->loginRow().toggle(), Qt::LeftButton);
    EXPECT_EQ(asked, std::vector<bool>{true});
    EXPECT_FALSE(window.view->loginRow().props().isOn);
}

std::vector<TidewrightRulePresentation> elevenRules() {
    const std::vector<std::tuple<const char*, QString, QColor>> apps{
        {"com.example.Atlas", u"Atlas"_s, QColor(52, 120, 246)},
        {"org.gnome.Calculator", u"Calculator"_s, QColor(90, 90, 96)},
        {"org.gnome.Calendar", u"Calendar"_s, QColor(230, 70, 60)},
        {"org.gnome.Nautilus", u"Files"_s, QColor(70, 140, 220)},
        {"org.mozilla.firefox", u"Firefox"_s, QColor(240, 120, 30)},
        {"org.gimp.GIMP", u"GNU Image Manipulation Program"_s, QColor(120, 100, 80)},
        {"org.gnome.Maps", u"Maps"_s, QColor(60, 170, 90)},
        {"org.gnome.Music", u"Music"_s, QColor(220, 60, 130)},
        {"org.gnome.Terminal", u"Terminal"_s, QColor(40, 40, 40)},
        {"org.gnome.TextEditor", u"Text Editor"_s, QColor(100, 180, 230)},
        {"org.videolan.VLC", u"VLC media player"_s, QColor(250, 140, 0)},
    };
    std::vector<TidewrightRulePresentation> rules;
    int index = 0;
    for (const auto& [id, name, color] : apps) {
        std::optional<QIcon> icon;
        if (index % 4 != 1) { // some have none
            icon = testing::letterIcon(color, name[0]);
        }
        rules.push_back(rule(id, name, index % 3 == 0 ? OpeningAction::maximize : OpeningAction::center, icon));
        ++index;
    }
    return rules;
}

struct Look {
    const char* name;
    ColorScheme scheme;
    QLocale locale;
    double textSize;
    std::function<void(TidewrightPreferences::Props&)> change;
};

class PreferencesLook : public ::testing::TestWithParam<Look> {};

TEST_P(PreferencesLook, Window) {
    const Look& look = GetParam();
    TidewrightPreferences::Props props = readyProps();
    props.rules[0].icon = testing::letterIcon(QColor(70, 140, 220), u'F');
    props.rules[1].icon = testing::letterIcon(QColor(240, 120, 30), u'F');
    look.change(props);
    QWidget host;
    testing::prepareHost(host, look.scheme, look.locale);
    corbel::KitEnvironment::of(host).setTextSizeFactor(look.textSize);
    auto* column = new QVBoxLayout(&host);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(new TidewrightPreferences(props, {}, &host));
    EXPECT_TRUE(testing::goldens().matches(QString::fromLatin1(look.name),
                                           corbel::testing::renderOffscreen(host, QSize(560, host.heightForWidth(560)))));
}

INSTANTIATE_TEST_SUITE_P(
    States, PreferencesLook,
    ::testing::Values(
        Look{"preferences-light", ColorScheme::light, english, 1, [](auto&) {}},
        Look{"preferences-dark", ColorScheme::dark, english, 1, [](auto&) {}},
        Look{"preferences-many-largest-text", ColorScheme::light, english, corbel::largestTextSizeFactor,
             [](TidewrightPreferences::Props& props) { props.rules = elevenRules(); }},
        Look{"preferences-conflicts", ColorScheme::light, english, 1,
             [](TidewrightPreferences::Props& props) {
                 props.decision = decision(FunctioningState::running(), {FixedShortcut::left, FixedShortcut::d});
             }},
        Look{"preferences-conflicts-de", ColorScheme::dark, german, 1,
             [](TidewrightPreferences::Props& props) {
                 props.decision = decision(FunctioningState::running(), {FixedShortcut::left, FixedShortcut::d});
             }},
        Look{"preferences-permission-denied", ColorScheme::light, english, 1,
             [](TidewrightPreferences::Props& props) {
                 props.permissions = {PermissionState::denied};
                 props.decision = decision(FunctioningState::needsPermissions({PermissionState::denied}));
                 props.rules.clear();
             }},
        Look{"preferences-sync-issue", ColorScheme::dark, english, 1,
             [](TidewrightPreferences::Props& props) {
                 props.decision = decision(FunctioningState::needsPreferences());
                 props.issues = {TidewrightIssue::preferences};
             }}),
    [](const ::testing::TestParamInfo<Look>& info) {
        std::string name = info.param.name;
        std::replace(name.begin(), name.end(), '-', '_');
        return name;
    });

} // namespace
} // namespace tidewright
