// The real program's tray icon on real trays of a private display: embedded in an XEmbed tray
// (trayer) and clicked, registered with a StatusNotifierItem watcher on a private session bus and
// activated over D-Bus, and with no tray at all. Each activation must bring up the panel's popup;
// on either tray the panel's widgets are then driven over a private assistive-technology bus.

#include "platform/hotkeys/ForeignKeyGrab.hpp"
#include "platform/screenreader/AtspiLauncher.hpp"
#include "platform/testing/AtspiDriver.hpp"
#include "platform/testing/ChildProcess.hpp"
#include "platform/testing/PrivateSessionBus.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/shell/ProgramUnderTest.hpp"
#include "tidewright/shell/StatusNotifierHost.hpp"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidewright {
namespace {

using platform::testing::WindowId;

constexpr int panelWidth = 368;

class TrayTest : public ::testing::Test {
protected:
    // The program's viewable windows whose parent is the root: the popup, nothing else here.
    std::vector<WindowId> topLevelWindows() {
        std::vector<WindowId> found;
        for (const WindowId window : world.viewableWindowsOf(program->pid())) {
            const std::optional<WindowId> parent = world.parentOf(window);
            if (parent && world.parentOf(*parent) == std::nullopt) {
                found.push_back(window);
            }
        }
        return found;
    }

    // The popup, once exactly one top-level window of the panel's width is up.
    std::optional<WindowId> waitForPopup() {
        std::optional<WindowId> popup;
        world.waitUntil(
            [&] {
                const std::vector<WindowId> windows = topLevelWindows();
                if (windows.size() == 1 && world.clientGeometry(windows[0]).width == panelWidth) {
                    popup = windows[0];
                }
                return popup.has_value();
            },
            std::chrono::seconds(10));
        return popup;
    }

    bool waitForNoPopup() {
        return world.waitUntil([&] { return topLevelWindows().empty(); }, std::chrono::seconds(10));
    }

    void xdotool(const std::string& arguments) {
        const std::string command = "DISPLAY=" + world.display() + " xdotool " + arguments;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    std::unique_ptr<platform::testing::ChildProcess> startTrayer() {
        platform::testing::ChildProcess::Options options;
        options.environment = {{"DISPLAY", world.display()}, {"HOME", (setup.root() / "home").string()}};
        options.quiet = true;
        // A bar along the bottom edge: the panel opens above the icon.
        return std::make_unique<platform::testing::ChildProcess>(
            std::vector<std::string>{"trayer", "--edge", "bottom", "--height", "24", "--SetDockType", "true"},
            options);
    }

    // The program's icon as embedded in the tray: its window nested in one of trayer's.
    std::optional<WindowId> waitForEmbeddedIcon(pid_t trayer) {
        std::optional<WindowId> icon;
        world.waitUntil([&] { return (icon = world.windowEmbeddedIn(program->pid(), trayer)).has_value(); },
                        std::chrono::seconds(10));
        return icon;
    }

    platform::testing::X11TestWorld world;
    testing::ProgramUnderTest setup{world.display()};
    std::unique_ptr<testing::RunningProgram> program;
};

TEST_F(TrayTest, AnXEmbedTrayEmbedsTheIconAndAClickOnItOpensThePanelAboveIt) {
    const auto trayer = startTrayer();
    ASSERT_TRUE(world.waitUntil([&] { return world.selectionOwned("_NET_SYSTEM_TRAY_S0"); }, std::chrono::seconds(10)));
    program = setup.start();
    const std::optional<WindowId> icon = waitForEmbeddedIcon(trayer->pid());
    ASSERT_TRUE(icon) << program->remainingLog();
    EXPECT_TRUE(topLevelWindows().empty()) << "no panel before a click";
    EXPECT_EQ(program->linesContaining("no system tray"), 0);

    const platform::x11::PixelRect at = world.clientGeometry(*icon);
    xdotool("mousemove " + std::to_string(at.x + at.width / 2) + " " + std::to_string(at.y + at.height / 2) +
            " click 1");
    const std::optional<WindowId> popup = waitForPopup();
    ASSERT_TRUE(popup) << program->remainingLog();
    const platform::x11::PixelRect panel = world.clientGeometry(*popup);
    EXPECT_GT(panel.height, 200);
    EXPECT_LE(panel.y + panel.height, at.y) << "above the icon in a bottom bar";
    EXPECT_GE(panel.x, 0);
    EXPECT_LE(panel.x + panel.width, 1920);

    xdotool("key Escape");
    EXPECT_TRUE(waitForNoPopup()) << "Escape closes it";

    xdotool("mousemove " + std::to_string(at.x + at.width / 2) + " " + std::to_string(at.y + at.height / 2) +
            " click 1");
    ASSERT_TRUE(waitForPopup());
    xdotool("mousemove 900 200 click 1");
    EXPECT_TRUE(waitForNoPopup()) << "a click elsewhere closes it";
}

TEST_F(TrayTest, WithoutATrayTheProgramSaysSoOnceAndKeepsItsHotKeys) {
    program = setup.start();
    ASSERT_TRUE(program->waitForLine("no system tray")) << program->remainingLog();
    ASSERT_TRUE(program->waitForHeldHotkeys(6)) << program->remainingLog();
    EXPECT_TRUE(setup.hotkeysHeld(true));
    EXPECT_EQ(program->linesContaining("no system tray"), 1);
}

TEST_F(TrayTest, ATrayThatAppearsLaterTakesTheIcon) {
    program = setup.start();
    ASSERT_TRUE(program->waitForLine("no system tray")) << program->remainingLog();
    const auto trayer = startTrayer();
    EXPECT_TRUE(waitForEmbeddedIcon(trayer->pid())) << program->remainingLog();
}

// The program on a private session bus of the test's own; the trays' hosts and the
// assistive-technology bus live there.
class BusTrayTest : public TrayTest {
protected:
    BusTrayTest() { setup.useSessionBus(bus.address()); }
    // The program goes before the bus it talks to.
    ~BusTrayTest() override { program.reset(); }

    int argc = 1;
    char name[16] = "tray-tests";
    char* argv[2] = {name, nullptr};
    QCoreApplication application{argc, argv};
    platform::testing::PrivateSessionBus bus;
};

class StatusNotifierTrayTest : public BusTrayTest {
protected:
    QVariant itemProperty(const QString& property) { return host.itemProperty(property); }

    testing::StatusNotifierHost host{bus.address()};
};

TEST_F(StatusNotifierTrayTest, TheItemRegistersShowsTheStatusAndActivateOpensThePanelAtThePointer) {
    program = setup.start();
    ASSERT_TRUE(host.waitForItem()) << program->remainingLog();
    EXPECT_EQ(program->linesContaining("no system tray"), 0);

    EXPECT_EQ(itemProperty(QStringLiteral("Title")).toString(), QStringLiteral("Tidewright"));
    EXPECT_EQ(itemProperty(QStringLiteral("Status")).toString(), QStringLiteral("Active"));

    const QVariant toolTip = itemProperty(QStringLiteral("ToolTip"));
    ASSERT_TRUE(toolTip.canConvert<QDBusArgument>());
    const QDBusArgument tip = toolTip.value<QDBusArgument>();
    QString iconName;
    QString title;
    QString text;
    tip.beginStructure();
    tip >> iconName;
    testing::StatusNotifierHost::pixmapsOf(tip);
    tip >> title >> text;
    tip.endStructure();
    EXPECT_EQ(title, QStringLiteral("Tidewright"));

    const std::vector<testing::StatusNotifierPixmap> pixmaps = host.iconPixmaps();
    ASSERT_FALSE(pixmaps.empty());
    bool drawn = false;
    for (const testing::StatusNotifierPixmap& p : pixmaps) {
        EXPECT_EQ(p.argb.size(), p.width * p.height * 4) << p.width;
        for (qsizetype i = 0; i < p.argb.size(); i += 4) {
            drawn = drawn || p.argb.at(i) != 0; // network order: alpha first
        }
    }
    EXPECT_TRUE(drawn) << "the symbol, not an empty picture";

    xdotool("mousemove 700 300");
    host.activate(700, 300);
    const std::optional<WindowId> popup = waitForPopup();
    ASSERT_TRUE(popup) << program->remainingLog();
    const platform::x11::PixelRect panel = world.clientGeometry(*popup);
    EXPECT_EQ(panel.x, 700 - panelWidth / 2) << "centred on the pointer";
    EXPECT_EQ(panel.y, 300 + 1 + 4) << "just below it";
}


enum class Tray { xembed, statusNotifier };

std::string trayName(const ::testing::TestParamInfo<Tray>& info) {
    return info.param == Tray::xembed ? "XEmbed" : "StatusNotifierItem";
}

using platform::testing::AtspiElement;

// The popup is titled as the status item.
const QString panelWindow = QStringLiteral("Tidewright");
const QString labelRole = QStringLiteral("label");
// The six shortcut rows as tools read them: the action, then its keys.
const QString shortcutRows[] = {
    QStringLiteral("Left half, Control, Alt, Left Arrow"),   QStringLiteral("Right half, Control, Alt, Right Arrow"),
    QStringLiteral("Maximize, Control, Alt, Up Arrow"),      QStringLiteral("Almost maximize, Control, Alt, D"),
    QStringLiteral("Full height, Control, Alt, Down Arrow"), QStringLiteral("Center, Control, Alt, C"),
};

// The program on either kind of tray with its widgets on the assistive-technology bus.
class TrayPanelTest : public BusTrayTest, public ::testing::WithParamInterface<Tray> {
protected:
    TrayPanelTest() {
        launcher.start();
        atspi = std::make_unique<platform::testing::AtspiDriver>(bus.address());
        setup.setEnvironment("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    }

    // Starts the program once the tray is there and waits for its icon in it and for `hotkeys`
    // hot keys held.
    void startOnTray(int hotkeys = 6) {
        if (GetParam() == Tray::statusNotifier) {
            host = std::make_unique<testing::StatusNotifierHost>(bus.address());
            program = setup.start();
            ASSERT_TRUE(host->waitForItem()) << program->remainingLog();
        } else {
            trayer = startTrayer();
            ASSERT_TRUE(world.waitUntil([&] { return world.selectionOwned("_NET_SYSTEM_TRAY_S0"); },
                                        std::chrono::seconds(10)));
            program = setup.start();
            icon = waitForEmbeddedIcon(trayer->pid());
            ASSERT_TRUE(icon) << program->remainingLog();
        }
        ASSERT_TRUE(program->waitForHeldHotkeys(hotkeys)) << program->remainingLog();
    }

    // A click on the embedded icon, or the host's activation as its click makes it.
    void openPanel() {
        if (GetParam() == Tray::statusNotifier) {
            host->activate(700, 300);
        } else {
            const platform::x11::PixelRect at = world.clientGeometry(*icon);
            xdotool("mousemove " + std::to_string(at.x + at.width / 2) + " " +
                    std::to_string(at.y + at.height / 2) + " click 1");
        }
        popup = waitForPopup();
        ASSERT_TRUE(popup) << program->remainingLog();
    }

    bool popupShown() {
        const std::vector<WindowId> windows = topLevelWindows();
        return std::find(windows.begin(), windows.end(), *popup) != windows.end();
    }

    // The icon as the tray has it: the item's pictures, or the embedded window's pixels.
    std::string iconLook() {
        std::string look;
        if (GetParam() == Tray::statusNotifier) {
            for (const testing::StatusNotifierPixmap& p : host->iconPixmaps()) {
                look += p.argb.toStdString();
            }
        } else if (const std::optional<platform::testing::WindowImage> image = world.windowImage(*icon)) {
            look.assign(reinterpret_cast<const char*>(image->pixels.data()), image->pixels.size() * 4);
        }
        return look;
    }

    std::optional<AtspiElement> element(const QString& window, const QString& role, const QString& name) {
        if (std::optional<AtspiElement> found = atspi->waitForElement(program->pid(), window, role, name)) {
            return found;
        }
        const std::optional<AtspiElement> root = atspi->application(program->pid());
        ADD_FAILURE() << "no " << role.toStdString() << " \"" << name.toStdString() << "\" in "
                      << window.toStdString() << ":\n"
                      << (root ? atspi->describe(*root) : std::string("the program is not on the bus"));
        return std::nullopt;
    }

    void click(const AtspiElement& target) {
        const std::optional<platform::testing::AtspiExtents> box = atspi->settledExtents(target);
        ASSERT_TRUE(box) << "the element holds still on the screen";
        xdotool("mousemove --sync " + std::to_string(box->centerX()) + " " + std::to_string(box->centerY()) +
                " click 1");
    }

    bool preferencesShown() {
        return world.waitUntil([&] { return !world.mappedWindowsTitled("Tidewright Preferences").empty(); },
                               std::chrono::seconds(10));
    }

    platform::testing::AtspiLauncher launcher{bus};
    std::unique_ptr<platform::testing::AtspiDriver> atspi;
    std::unique_ptr<testing::StatusNotifierHost> host;
    std::unique_ptr<platform::testing::ChildProcess> trayer;
    std::optional<WindowId> icon;
    std::optional<WindowId> popup;
};

TEST_P(TrayPanelTest, ThePanelListsTheShortcutsItsSwitchWithdrawsAndRestoresThemAndPreferencesLeavesIt) {
    startOnTray();
    const std::string workingIcon = iconLook();
    ASSERT_FALSE(workingIcon.empty());
    openPanel();
    for (const QString& row : shortcutRows) {
        EXPECT_TRUE(element(panelWindow, labelRole, row)) << row.toStdString();
    }

    const std::optional<AtspiElement> toggle =
        element(panelWindow, QStringLiteral("check box"), QStringLiteral("Tidewright"));
    ASSERT_TRUE(toggle);
    EXPECT_TRUE(atspi->checked(*toggle));
    click(*toggle);
    ASSERT_TRUE(program->waitForHeldHotkeys(0)) << program->remainingLog();
    EXPECT_TRUE(setup.hotkeysHeld(false)) << "another client now gets every combination";
    EXPECT_TRUE(world.waitUntil([&] { return iconLook() != workingIcon; })) << "the icon shows the off symbol";
    const std::string offIcon = iconLook();
    EXPECT_TRUE(element(panelWindow, labelRole, QStringLiteral("Off"))) << "the status word";
    EXPECT_FALSE(atspi->checked(*toggle));
    EXPECT_TRUE(popupShown()) << "the switch leaves the panel open";

    click(*toggle);
    ASSERT_TRUE(program->waitForHeldHotkeys(6)) << program->remainingLog();
    EXPECT_TRUE(setup.hotkeysHeld(true));
    // Not compared with the first look to the pixel: an embedded icon's pixels take in the tray's
    // background under them, which the open panel's redraws may change.
    EXPECT_TRUE(world.waitUntil([&] { return iconLook() != offIcon; })) << "the working symbol again";
    EXPECT_TRUE(element(panelWindow, labelRole, QStringLiteral("Ready")));

    const std::optional<AtspiElement> preferences =
        element(panelWindow, QStringLiteral("push button"), QStringLiteral("Preferences"));
    ASSERT_TRUE(preferences);
    click(*preferences);
    EXPECT_TRUE(world.waitUntil([&] { return !popupShown(); })) << "the panel closes";
    EXPECT_TRUE(preferencesShown()) << program->remainingLog();
}

INSTANTIATE_TEST_SUITE_P(Trays, TrayPanelTest, ::testing::Values(Tray::xembed, Tray::statusNotifier), trayName);

using TrayConflictTest = TrayPanelTest;

TEST_P(TrayConflictTest, AShortcutTakenBeforeTheStartIsNoticedFirstAndMarkedAndTheNoticeOpensThePreferences) {
    platform::testing::ForeignKeyGrab other(world.display());
    ASSERT_TRUE(other.grab(testing::ProgramUnderTest::keysyms[3], testing::ProgramUnderTest::controlAlt));
    startOnTray(5);
    openPanel();

    const std::optional<AtspiElement> notice =
        element(panelWindow, labelRole, QStringLiteral("Some shortcuts are taken"));
    const std::optional<AtspiElement> firstRow = element(panelWindow, labelRole, shortcutRows[0]);
    const std::optional<AtspiElement> dRow = element(panelWindow, labelRole, shortcutRows[3]);
    ASSERT_TRUE(notice && firstRow && dRow);
    EXPECT_LT(atspi->settledExtents(*notice).value().y, atspi->settledExtents(*firstRow).value().y)
        << "the notice comes before the rows";
    EXPECT_EQ(atspi->description(*dRow).toStdString(), "Unavailable: another program uses this shortcut");
    EXPECT_EQ(atspi->description(*firstRow).toStdString(), "");

    const std::optional<AtspiElement> show =
        element(panelWindow, QStringLiteral("push button"), QStringLiteral("Show shortcuts"));
    ASSERT_TRUE(show);
    click(*show);
    EXPECT_TRUE(world.waitUntil([&] { return !popupShown(); })) << "the panel closes";
    ASSERT_TRUE(preferencesShown()) << program->remainingLog();
    EXPECT_TRUE(element(QStringLiteral("Tidewright Preferences"), QStringLiteral("heading"), QStringLiteral("Shortcuts")));
}

INSTANTIATE_TEST_SUITE_P(Trays, TrayConflictTest, ::testing::Values(Tray::statusNotifier), trayName);

} // namespace
} // namespace tidewright
