// The tray panel's content on the widget tree: the status word and dot, the notices and their
// buttons, the six rows with their conflict marks and what tools read of them, the update card.

#include "tidewright/views/TidewrightPanel.hpp"

#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitSwitch.hpp"
#include "corbel/ui/NoticeCard.hpp"
#include "corbel/ui/PanelActionRow.hpp"
#include "corbel/ui/PanelFooterButton.hpp"
#include "corbel/ui/PanelShortcutKeys.hpp"
#include "corbel/ui/SampleUpdateNotifier.hpp"
#include "corbel/ui/TextLabel.hpp"
#include "corbel/ui/UpdateCard.hpp"
#include "corbel/ui/testing/Descendants.hpp"
#include "corbel/ui/testing/GoldenImages.hpp"
#include "tidewright/views/TidewrightShortcutPresentation.hpp"

#include <QAccessible>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <unordered_map>
#include <vector>

namespace tidewright {
namespace {

using Registrations = std::unordered_map<FixedShortcut, ShortcutRegistration>;

const corbel::StringBundle& tables() {
    static const corbel::StringBundle bundle(QStringLiteral(TIDEWRIGHT_STRING_TABLE_FOLDER),
                                             QStringLiteral("Tidewright"),
                                             {QStringLiteral("en"), QStringLiteral("de")}, QStringLiteral("en"));
    return bundle;
}

QString english(TidewrightCopy copy) {
    return localizedCopy(copy, QLocale(QLocale::English), tables());
}

const QStringList noArguments{QStringLiteral("tidewright")};

Registrations allRegistered(Registrations changes = {}) {
    Registrations registrations;
    for (FixedShortcut shortcut : allFixedShortcuts) {
        registrations[shortcut] = ShortcutRegistration::registered;
    }
    for (const auto& [shortcut, registration] : changes) {
        registrations[shortcut] = registration;
    }
    return registrations;
}

AppDecision decide(bool enabled, Registrations registrations = allRegistered(),
                   PermissionState permission = PermissionState::granted,
                   PreferenceAvailability preferences = PreferenceAvailability::available) {
    return AppPolicy::decide(enabled, WindowPermissions{permission}, registrations, preferences);
}

using corbel::testing::descendantsOf;

// The notice cards top to bottom, as laid out.
std::vector<corbel::NoticeCard*> noticeCards(TidewrightPanel& panel) {
    corbel::testing::renderOffscreen(panel, QSize(368, panel.heightForWidth(368)));
    std::vector<corbel::NoticeCard*> cards = descendantsOf<corbel::NoticeCard>(panel);
    std::sort(cards.begin(), cards.end(),
              [](auto* a, auto* b) { return a->mapTo(a->window(), QPoint()).y() < b->mapTo(b->window(), QPoint()).y(); });
    return cards;
}

// Each row's title, key caps, conflict mark and what tools read, in the rows' order.
struct RowReading {
    QString title;
    QStringList keys;
    bool conflict;
    QString name;
    QString value;
    int children;

    bool operator==(const RowReading&) const = default;
};

void PrintTo(const RowReading& row, std::ostream* out) {
    *out << row.title.toStdString() << " [" << row.keys.join(QLatin1Char(' ')).toStdString() << "]"
         << (row.conflict ? " conflict" : "") << " name=\"" << row.name.toStdString() << "\" value=\""
         << row.value.toStdString() << "\" children=" << row.children;
}

std::vector<RowReading> rowsOf(TidewrightPanel& panel) {
    std::vector<RowReading> rows;
    for (corbel::PanelActionRow* row : descendantsOf<corbel::PanelActionRow>(panel)) {
        QWidget* element = row->parentWidget();
        QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(element);
        const corbel::PanelShortcutKeys* keys = descendantsOf<corbel::PanelShortcutKeys>(*row).front();
        rows.push_back({row->props().title, keys->props().keys, keys->props().hasConflict,
                        spoken->text(QAccessible::Name), spoken->text(QAccessible::Value), spoken->childCount()});
    }
    return rows;
}

std::vector<RowReading> expectedRows(const ShortcutSet& conflicting) {
    std::vector<RowReading> rows;
    for (FixedShortcut shortcut : allFixedShortcuts) {
        const bool conflict = conflicting.contains(shortcut);
        rows.push_back({english(shortcutTitle(shortcut)), shortcutKeyCaps(shortcut), conflict,
                        english(shortcutTitle(shortcut)) + QStringLiteral(", ") + english(shortcutKeyText(shortcut)),
                        conflict ? english(TidewrightCopy::shortcutUnavailable) : QString(), 0});
    }
    return rows;
}

struct Recorded {
    std::vector<std::string> ran;

    TidewrightPanelActions actions() {
        return {
            .setEnabled = [this](bool on) { ran.push_back(on ? "on" : "off"); },
            .showPreferences = [this] { ran.push_back("preferences"); },
            .showWelcome = [this] { ran.push_back("welcome"); },
            .showShortcutHelp = [this] { ran.push_back("shortcut help"); },
            .openSystemSettings = [this] { ran.push_back("system settings"); },
        };
    }
};

std::unique_ptr<TidewrightPanel> makePanel(TidewrightPanelProps props, Recorded& recorded,
                                           corbel::UpdateNotifier* notifier = nullptr,
                                           const QStringList& arguments = noArguments) {
    auto panel = std::make_unique<TidewrightPanel>(std::move(props), recorded.actions(), notifier, nullptr,
                                                   tables(), arguments);
    panel->setLocale(QLocale(QLocale::English));
    return panel;
}

TEST(TidewrightPanelTest, StatusWordDotAndNoticesFollowTheDecision) {
    struct Case {
        const char* name;
        bool enabled;
        AppDecision decision;
        std::vector<TidewrightIssue> issues;
        TidewrightCopy status;
        corbel::PanelStatus dot;
        // Each card's title, and its button's title when it has one.
        std::vector<std::pair<TidewrightCopy, std::optional<TidewrightCopy>>> notices;
    };
    const std::vector<Case> cases{
        {"off, no issues", false, decide(false), {}, TidewrightCopy::off, corbel::PanelStatus::off, {}},
        {"ready", true, decide(true), {}, TidewrightCopy::ready, corbel::PanelStatus::working, {}},
        {"d conflicting",
         true,
         decide(true, allRegistered({{FixedShortcut::d, ShortcutRegistration::unavailable}})),
         {},
         TidewrightCopy::attention,
         corbel::PanelStatus::attention,
         {{TidewrightCopy::conflictsTitle, TidewrightCopy::checkShortcuts}}},
        {"one pending: registering, not marked",
         true,
         decide(true, allRegistered({{FixedShortcut::up, ShortcutRegistration::pending}})),
         {},
         TidewrightCopy::registering,
         corbel::PanelStatus::attention,
         {}},
        {"permission denied",
         true,
         decide(true, allRegistered(), PermissionState::denied),
         {},
         TidewrightCopy::attention,
         corbel::PanelStatus::attention,
         {{TidewrightCopy::permissionsTitle, TidewrightCopy::configurePermissions}}},
        {"issues have no button",
         false,
         decide(false),
         {TidewrightIssue::login, TidewrightIssue::operation},
         TidewrightCopy::off,
         corbel::PanelStatus::off,
         {{TidewrightCopy::loginIssue, std::nullopt}, {TidewrightCopy::operationFailed, std::nullopt}}},
        {"both notices about preferences",
         true,
         decide(true, allRegistered(), PermissionState::granted, PreferenceAvailability::unavailable),
         {TidewrightIssue::preferences},
         TidewrightCopy::attention,
         corbel::PanelStatus::attention,
         {{TidewrightCopy::preferencesUnavailable, TidewrightCopy::preferences},
          {TidewrightCopy::syncIssue, std::nullopt}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Recorded recorded;
        auto panel = makePanel({c.enabled, c.decision, c.issues}, recorded);
        const corbel::CorbelPanel::Props& chrome = panel->chrome().props();
        EXPECT_EQ(chrome.status, english(c.status));
        EXPECT_EQ(chrome.dot, (std::variant<corbel::PanelStatus, QColor>(c.dot)));
        EXPECT_EQ(chrome.isOn, c.enabled);
        EXPECT_EQ(chrome.privacy, english(TidewrightCopy::privacy));
        EXPECT_EQ(chrome.privacySymbol, QStringLiteral("rectangle"));

        const std::vector<corbel::NoticeCard*> cards = noticeCards(*panel);
        ASSERT_EQ(cards.size(), c.notices.size());
        for (std::size_t i = 0; i < cards.size(); ++i) {
            EXPECT_EQ(cards[i]->props().title, english(c.notices[i].first)) << i;
            EXPECT_EQ(cards[i]->props().symbol, QStringLiteral("exclamationmark.triangle.fill"));
            const std::vector<corbel::KitButton*> buttons = descendantsOf<corbel::KitButton>(*cards[i]);
            if (c.notices[i].second) {
                ASSERT_EQ(buttons.size(), 1u) << i;
                EXPECT_EQ(buttons.front()->props().title, english(*c.notices[i].second));
            } else {
                EXPECT_TRUE(buttons.empty()) << i;
            }
        }
        EXPECT_EQ(rowsOf(*panel), expectedRows(c.decision.conflictingShortcuts));
        EXPECT_TRUE(recorded.ran.empty());
    }
}

TEST(TidewrightPanelTest, ANoticeButtonRunsItsActionAndTheConflictingRowSaysSo) {
    Recorded recorded;
    auto panel = makePanel(
        {true, decide(true, allRegistered({{FixedShortcut::d, ShortcutRegistration::unavailable}})), {}}, recorded);
    const std::vector<corbel::NoticeCard*> cards = noticeCards(*panel);
    ASSERT_EQ(cards.size(), 1u);
    QTest::mouseClick(descendantsOf<corbel::KitButton>(*cards.front()).front(), Qt::LeftButton);
    EXPECT_EQ(recorded.ran, std::vector<std::string>{"shortcut help"});

    const std::vector<RowReading> rows = rowsOf(*panel);
    EXPECT_EQ(rows[3].name, english(TidewrightCopy::nearlyMaximize) + QStringLiteral(", ") +
                                english(TidewrightCopy::dKey));
    EXPECT_EQ(rows[3].value, english(TidewrightCopy::shortcutUnavailable));
    EXPECT_TRUE(rows[3].conflict);
}

TEST(TidewrightPanelTest, PerformRunsTheHookEachActionNames) {
    const std::vector<std::pair<TidewrightPresentationAction, std::string>> cases{
        {TidewrightPresentationAction::permissions, "welcome"},
        {TidewrightPresentationAction::preferences, "preferences"},
        {TidewrightPresentationAction::shortcutHelp, "shortcut help"},
        {TidewrightPresentationAction::systemSettings, "system settings"},
    };
    for (const auto& [action, hook] : cases) {
        Recorded recorded;
        auto panel = makePanel({}, recorded);
        panel->perform(action);
        EXPECT_EQ(recorded.ran, std::vector<std::string>{hook});
    }
    // Empty hooks do nothing.
    TidewrightPanel bare({}, {}, nullptr, nullptr, tables(), noArguments);
    bare.perform(TidewrightPresentationAction::systemSettings);
}

TEST(TidewrightPanelTest, TheChromesControlsReachTheCurrentHooks) {
    Recorded recorded;
    auto panel = makePanel({false, decide(false), {}}, recorded);
    noticeCards(*panel); // lays the panel out
    QTest::mouseClick(descendantsOf<corbel::KitSwitch>(*panel).front(), Qt::LeftButton, {}, QPoint(2, 2));
    std::vector<corbel::PanelFooterButton*> footer = descendantsOf<corbel::PanelFooterButton>(*panel);
    std::sort(footer.begin(), footer.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
    ASSERT_EQ(footer.size(), 3u) << "preferences, guide, quit";
    QTest::mouseClick(footer[0], Qt::LeftButton);
    QTest::mouseClick(footer[1], Qt::LeftButton);
    EXPECT_EQ(recorded.ran, (std::vector<std::string>{"on", "preferences", "welcome"}));

    Recorded other;
    panel->setActions(other.actions());
    QTest::mouseClick(footer[1], Qt::LeftButton);
    panel->perform(TidewrightPresentationAction::preferences);
    EXPECT_EQ(other.ran, (std::vector<std::string>{"welcome", "preferences"}));
    EXPECT_EQ(recorded.ran.size(), 3u);
}

TEST(TidewrightPanelTest, CardsAreKeptAcrossUpdatesAndGoWhenTheirNoticeGoes) {
    Recorded recorded;
    const AppDecision conflicts =
        decide(true, allRegistered({{FixedShortcut::d, ShortcutRegistration::unavailable}}));
    auto panel = makePanel({true, conflicts, {}}, recorded);
    const std::vector<corbel::NoticeCard*> before = noticeCards(*panel);
    ASSERT_EQ(before.size(), 1u);

    panel->setProps({true, conflicts, {TidewrightIssue::settings}});
    const std::vector<corbel::NoticeCard*> both = noticeCards(*panel);
    ASSERT_EQ(both.size(), 2u);
    EXPECT_EQ(both[0], before[0]) << "the conflicts card is the same widget";
    EXPECT_EQ(both[1]->props().title, english(TidewrightCopy::settingsIssue));

    panel->setProps({true, decide(true), {TidewrightIssue::settings}});
    const std::vector<corbel::NoticeCard*> after = noticeCards(*panel);
    ASSERT_EQ(after.size(), 1u);
    EXPECT_EQ(after[0], both[1]);
    EXPECT_EQ(rowsOf(*panel), expectedRows({}));
}

TEST(TidewrightPanelTest, TextsFollowTheWidgetsLocale) {
    Recorded recorded;
    auto panel = makePanel({false, decide(false), {TidewrightIssue::login}}, recorded);
    const QLocale german(QLocale::German, QLocale::Germany);
    panel->setLocale(german);
    EXPECT_EQ(panel->chrome().props().status, localizedCopy(TidewrightCopy::off, german, tables()));
    EXPECT_NE(panel->chrome().props().status, english(TidewrightCopy::off));
    EXPECT_EQ(noticeCards(*panel).front()->props().title,
              localizedCopy(TidewrightCopy::loginIssue, german, tables()));
    EXPECT_EQ(descendantsOf<corbel::PanelActionRow>(*panel).front()->props().title,
              localizedCopy(TidewrightCopy::leftHalf, german, tables()));
}

TEST(TidewrightPanelTest, TheUpdateCardShowsOnlyWithANotifierThatOffers) {
    Recorded recorded;
    {
        auto panel = makePanel({true, decide(true), {}}, recorded);
        EXPECT_EQ(panel->chrome().activeNotifier(), nullptr);
        EXPECT_TRUE(descendantsOf<corbel::UpdateCard>(*panel).empty());
    }
    {
        corbel::SampleUpdateNotifier program;
        auto panel = makePanel({true, decide(true), {}}, recorded, &program);
        EXPECT_EQ(panel->chrome().activeNotifier(), &program) << "handed to the chrome";
        EXPECT_EQ(descendantsOf<corbel::UpdateCard>(*panel).size(), 1u);
        program.setAside();
        EXPECT_TRUE(descendantsOf<corbel::UpdateCard>(*panel).empty());
    }
    {
        auto panel = makePanel({true, decide(true), {}}, recorded, nullptr,
                               {QStringLiteral("tidewright"), QStringLiteral("--snapshot-update")});
        EXPECT_EQ(descendantsOf<corbel::UpdateCard>(*panel).size(), 1u) << "the chrome's own sample";
    }
}

} // namespace
} // namespace tidewright
