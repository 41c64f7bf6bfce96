// The tray's label, panel host and status item over the app model's fakes: what the label shows
// for each decision, the panel host's hooks (dismiss first, then only while running; the switch
// always reaches the repository), its props following the model, the icon's two schemes, where the
// panel goes, and the popup's ways of closing.

#include <QApplication>
#include <QSignalSpy>
#include <QSystemTrayIcon>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AppHarness.hpp"
#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/KitSwitch.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/testing/Descendants.hpp"
#include "corbel/ui/testing/GoldenImages.hpp"
#include "tidewright/app/TidewrightPanelHost.hpp"
#include "tidewright/app/TidewrightStatusItem.hpp"
#include "tidewright/app/TidewrightStatusLabel.hpp"
#include "tidewright/views/TidewrightCopy.hpp"

namespace tidewright {
namespace {

using namespace fakes;
using Log = std::vector<std::string>;

const ShortcutSet allSix(allFixedShortcuts.begin(), allFixedShortcuts.end());

ShortcutSet without(FixedShortcut shortcut) {
    ShortcutSet set = allSix;
    set.erase(shortcut);
    return set;
}

struct RunningHarness : Harness {
    RunningHarness() : Harness(switchSummary(true)) {
        startWith(PermissionState::granted);
        log.clear();
    }
};

TEST(TidewrightStatusLabel, ShowsTheIndicatorsSymbolAndTheStatusWord) {
    const struct {
        const char* name;
        AppDecision decision;
        const char* symbol;
        TidewrightCopy status;
    } cases[] = {
        {"running, all registered", {FunctioningState::running(), allSix, allSix, {}, true},
         "rectangle.split.2x1.fill", TidewrightCopy::ready},
        {"running, one pending", {FunctioningState::running(), allSix, without(FixedShortcut::d), {}, true},
         "exclamationmark.triangle.fill", TidewrightCopy::registering},
        {"running, one taken",
         {FunctioningState::running(), allSix, without(FixedShortcut::d), {FixedShortcut::d}, true},
         "exclamationmark.triangle.fill", TidewrightCopy::attention},
        {"off", {FunctioningState::off(), {}, {}, {}, false}, "rectangle.split.2x1", TidewrightCopy::off},
        {"needs permissions",
         {FunctioningState::needsPermissions({PermissionState::denied}), {}, {}, {}, false},
         "exclamationmark.triangle.fill", TidewrightCopy::attention},
        {"needs preferences", {FunctioningState::needsPreferences(), {}, {}, {}, false},
         "exclamationmark.triangle.fill", TidewrightCopy::attention},
    };
    const QLocale english(QLocale::English);
    for (const auto& c : cases) {
        const TidewrightStatusLabelProps props = TidewrightStatusLabel::props(c.decision, english);
        EXPECT_EQ(props.symbol, QString::fromLatin1(c.symbol)) << c.name;
        EXPECT_EQ(props.status, c.status) << c.name;
        EXPECT_EQ(props.statusText, localizedCopy(c.status, english)) << c.name;
        EXPECT_EQ(props.title, QStringLiteral("Tidewright")) << c.name;
    }
}

TEST(TidewrightStatusLabel, FollowsTheModelsDecisionAndReportsOnlyChanges) {
    RunningHarness h;
    TidewrightStatusLabel label(h.model);
    std::vector<TidewrightStatusLabelProps> reported;
    label.onChange = [&](const TidewrightStatusLabelProps& props) { reported.push_back(props); };
    EXPECT_EQ(label.props().status, TidewrightCopy::ready);

    h.preferences->change(switchSummary(true)); // a reconcile that decides the same
    EXPECT_TRUE(reported.empty());

    h.preferences->change(switchSummary(false));
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].status, TidewrightCopy::off);
    EXPECT_EQ(label.props().symbol, QStringLiteral("rectangle.split.2x1"));

    h.preferences->change(switchSummary(true));
    h.permissions->complete(PermissionState::denied);
    ASSERT_EQ(reported.size(), 3u);
    EXPECT_EQ(reported[2].status, TidewrightCopy::attention);
    EXPECT_EQ(reported[2].symbol, QStringLiteral("exclamationmark.triangle.fill"));
}

TEST(TidewrightPanelHost, EachHookDismissesFirstThenActsOnlyWhileRunning) {
    const struct {
        const char* name;
        std::function<void(const TidewrightPanelActions&)> press;
        Log running;
        std::size_t preferencesShown; // while running
        std::size_t welcomesShown;    // while running
    } cases[] = {
        {"preferences", [](const auto& a) { a.showPreferences(); }, {"dismiss"}, 1, 0},
        {"shortcut help", [](const auto& a) { a.showShortcutHelp(); }, {"dismiss"}, 1, 0},
        {"getting started", [](const auto& a) { a.showWelcome(); }, {"dismiss"}, 0, 1},
        {"System Settings", [](const auto& a) { a.openSystemSettings(); }, {"dismiss", "settings.open"}, 0, 0},
    };
    for (const auto& c : cases) {
        for (const bool running : {true, false}) {
            RunningHarness h;
            if (!running) {
                h.model->stop();
                h.log.clear();
            }
            // The first start presented the welcome already.
            const std::size_t welcomes = h.presenter->presentedFor.size();
            c.press(TidewrightPanelHost::actions(h.model, [&] { h.log.push_back("dismiss"); }));
            EXPECT_EQ(h.log, running ? c.running : Log{"dismiss"}) << c.name << (running ? " running" : " stopped");
            EXPECT_EQ(h.presenter->preferencesFor.size(), running ? c.preferencesShown : 0u) << c.name;
            EXPECT_EQ(h.presenter->presentedFor.size() - welcomes, running ? c.welcomesShown : 0u) << c.name;
        }
        // Once the model is gone the hook still closes the panel, and does nothing else.
        std::weak_ptr<TidewrightAppModel> gone;
        Log dismissed;
        {
            RunningHarness h;
            gone = h.model;
            const TidewrightPanelActions actions =
                TidewrightPanelHost::actions(gone, [&] { dismissed.push_back("dismiss"); });
            h.model.reset();
            h.log.clear();
            c.press(actions);
            EXPECT_EQ(h.log, Log{}) << c.name << " after the model";
        }
        EXPECT_EQ(dismissed, Log{"dismiss"}) << c.name;
    }
}

TEST(TidewrightPanelHost, SystemSettingsRaisesItsIssueOnFailureAndResolvesItOnSuccess) {
    RunningHarness h;
    const TidewrightPanelActions actions = TidewrightPanelHost::actions(h.model, {});
    h.settings->opens = false;
    actions.openSystemSettings();
    EXPECT_EQ(h.model->issues(), std::vector<TidewrightIssue>{TidewrightIssue::settings});
    h.settings->opens = true;
    actions.openSystemSettings();
    EXPECT_TRUE(h.model->issues().empty());
}

TEST(TidewrightPanelHost, TheSwitchReachesTheRepositoryWithoutClosingThePanelEvenWhenStopped) {
    for (const bool running : {true, false}) {
        RunningHarness h;
        if (!running) {
            h.model->stop();
            h.log.clear();
        }
        const TidewrightPanelActions actions = TidewrightPanelHost::actions(h.model, [&] { h.log.push_back("dismiss"); });
        actions.setEnabled(false);
        actions.setEnabled(true);
        EXPECT_EQ(h.log, (Log{"preferences.apply(enabled false)", "preferences.apply(enabled true)"}))
            << (running ? "running" : "stopped");
    }
}

TEST(TidewrightPanelHost, ThePropsFollowTheObservedValuesAndTheSwitchIsThePanels) {
    RunningHarness h;
    TidewrightPanelHost host(h.model, {}, nullptr);
    const auto shown = [&] { return host.view().props(); };
    EXPECT_EQ(shown(), TidewrightPanelHost::props(*h.model));
    EXPECT_TRUE(shown().isEnabled);
    EXPECT_EQ(shown().decision.state, FunctioningState::running());

    h.preferences->change(switchSummary(false));
    EXPECT_FALSE(shown().isEnabled);
    EXPECT_EQ(shown().decision.state, FunctioningState::off());

    h.model->raiseIssue(TidewrightIssue::login);
    EXPECT_EQ(shown().issues, std::vector<TidewrightIssue>{TidewrightIssue::login});

    h.log.clear();
    const std::vector<corbel::KitSwitch*> switches = corbel::testing::descendantsOf<corbel::KitSwitch>(host);
    ASSERT_EQ(switches.size(), 1u);
    host.resize(368, host.heightForWidth(368));
    corbel::testing::renderOffscreen(host, host.size());
    QTest::mouseClick(switches[0], Qt::LeftButton);
    EXPECT_EQ(h.log, Log{"preferences.apply(enabled true)"});
}

// The colour of the most opaque pixel: the symbol's own.
QColor strokeColor(const QImage& image) {
    QColor best(Qt::transparent);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.alpha() > best.alpha()) {
                best = pixel;
            }
        }
    }
    return best;
}

TEST(TidewrightStatusItem, TheIconIsTheSymbolInTheSchemesLabelColour) {
    for (const corbel::ColorScheme scheme : {corbel::ColorScheme::light, corbel::ColorScheme::dark}) {
        const QIcon icon = TidewrightStatusItem::statusIcon(QStringLiteral("rectangle.split.2x1.fill"), scheme);
        ASSERT_FALSE(icon.availableSizes().isEmpty());
        for (const QSize size : {QSize(16, 16), QSize(22, 22), QSize(48, 48)}) {
            EXPECT_TRUE(icon.availableSizes().contains(size)) << size.width();
        }
        const QImage image = icon.pixmap(QSize(22, 22)).toImage();
        const QColor label = corbel::systemColor(corbel::SystemColor::label, scheme);
        const QColor stroke = strokeColor(image);
        EXPECT_NEAR(stroke.alpha(), label.alpha(), 1);
        EXPECT_EQ(stroke.rgb(), label.rgb()) << (scheme == corbel::ColorScheme::dark ? "dark" : "light");
    }
    const auto pixels = [](const char* symbol) {
        return TidewrightStatusItem::statusIcon(QString::fromLatin1(symbol), corbel::ColorScheme::light)
            .pixmap(QSize(22, 22))
            .toImage();
    };
    EXPECT_NE(pixels("rectangle.split.2x1.fill"), pixels("rectangle.split.2x1"));
    EXPECT_NE(pixels("rectangle.split.2x1.fill"), pixels("exclamationmark.triangle.fill"));
}

TEST(TidewrightStatusItem, ThePanelGoesBesideTheIconOrAtThePointerAndStaysOnTheScreen) {
    const QRect screen(0, 0, 1920, 1080);
    const QSize panel(368, 500);
    const struct {
        const char* name;
        QRect icon;
        QPoint pointer;
        QRect available;
        QPoint origin;
    } cases[] = {
        {"icon in a top bar: centred below it", {1000, 0, 24, 24}, {5, 5}, screen, {1012 - 184, 24 + 4}},
        {"icon in the top-right corner: kept inside", {1896, 0, 24, 24}, {5, 5}, screen, {1920 - 368, 28}},
        {"icon in a bottom bar: above it", {500, 1056, 24, 24}, {5, 5}, screen, {512 - 184, 1056 - 4 - 500}},
        {"icon in the bottom-left corner: kept inside", {0, 1056, 24, 24}, {5, 5}, screen, {0, 552}},
        {"no icon geometry: at the pointer", {}, {700, 300}, screen, {700 - 184, 300 + 1 + 4}},
        {"no icon, pointer low on the screen: above it", {}, {700, 1000}, screen, {700 - 184, 1000 - 4 - 500}},
        {"second screen", {2500, 0, 22, 22}, {5, 5}, {1920, 0, 1600, 900}, {2511 - 184, 26}},
        {"a screen smaller than the panel: its top-left corner", {}, {100, 100}, {0, 0, 300, 400}, {0, 0}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TidewrightStatusItem::panelOrigin(c.icon, c.pointer, panel, c.available), c.origin) << c.name;
    }
}

TEST(TidewrightStatusItem, ActivatingShowsThePanelInAPopupThatItsHooksEscapeAndTheIconClose) {
    RunningHarness h;
    TidewrightStatusItem item(h.model, nullptr);
    EXPECT_EQ(item.trayIcon().toolTip(), QStringLiteral("Tidewright"));
    EXPECT_FALSE(item.trayIcon().icon().isNull());
    ASSERT_EQ(item.panelWindow(), nullptr) << "built on first use";

    Q_EMIT item.trayIcon().activated(QSystemTrayIcon::Trigger);
    QWidget* popup = item.panelWindow();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(popup->windowType(), Qt::Popup);
    EXPECT_TRUE(popup->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(popup->size(), item.panelHost()->sizeHint());
    EXPECT_EQ(popup->width(), 368);
    const QRect screen = popup->screen()->availableGeometry();
    EXPECT_GE(popup->x(), screen.left());
    EXPECT_GE(popup->y(), screen.top());
    EXPECT_LE(popup->geometry().right(), screen.right());

    // The panel's own hook closes it before the preferences open.
    item.panelHost()->view().perform(TidewrightPresentationAction::preferences);
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(h.presenter->preferencesFor.size(), 1u);

    Q_EMIT item.trayIcon().activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(item.panelWindow(), popup) << "one popup, reused";
    ASSERT_TRUE(popup->isVisible());
    QTest::keyClick(popup, Qt::Key_Escape);
    EXPECT_FALSE(popup->isVisible());

    item.showPanel();
    item.closePanel();
    EXPECT_FALSE(popup->isVisible());
}

TEST(TidewrightStatusItem, TheIconFollowsTheDecision) {
    RunningHarness h;
    TidewrightStatusItem item(h.model, nullptr);
    const auto shown = [&] { return item.trayIcon().icon().pixmap(QSize(22, 22)).toImage(); };
    const auto drawn = [](const char* symbol) {
        return TidewrightStatusItem::statusIcon(QString::fromLatin1(symbol),
                                                corbel::schemeOf(QApplication::palette()))
            .pixmap(QSize(22, 22))
            .toImage();
    };
    EXPECT_EQ(shown(), drawn("rectangle.split.2x1.fill"));
    h.preferences->change(switchSummary(false));
    EXPECT_EQ(shown(), drawn("rectangle.split.2x1"));
    EXPECT_EQ(item.label().props().status, TidewrightCopy::off);
    h.preferences->change(switchSummary(true));
    h.permissions->complete(PermissionState::denied);
    EXPECT_EQ(shown(), drawn("exclamationmark.triangle.fill"));
}

} // namespace
} // namespace tidewright
