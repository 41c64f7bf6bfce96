// The real program's windows on a private display, driven as a user would: the widgets found over
// the assistive-technology bus, clicked and typed at through the X server's test extension. The
// welcome at the first start, an opening rule made in the preferences, the open-at-login switch,
// and SIGTERM with the panel and both windows open.

#include "platform/concurrency/ManualClock.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/defaults/UserDefaults.hpp"
#include "platform/screens/ScreenService.hpp"
#include "platform/screens/X11ScreenSource.hpp"
#include "platform/screenreader/AtspiLauncher.hpp"
#include "platform/testing/AtspiDriver.hpp"
#include "platform/testing/PrivateSessionBus.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/core/WindowPlacement.hpp"
#include "tidewright/preferences/PreferenceInstallation.hpp"
#include "tidewright/shell/ProgramUnderTest.hpp"
#include "tidewright/shell/StatusNotifierHost.hpp"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tidewright {
namespace {

namespace fs = std::filesystem;
using platform::testing::AtspiElement;
using platform::testing::WindowId;

// Every test client has this window class and no desktop entry: this is its application. With no
// entry to name it, its rule is shown under its identifier.
const BundleID testApplication("wmclass.TidewrightTest");
const QString testApplicationName = QStringLiteral("wmclass.TidewrightTest");

const std::string welcomeTitle = "Tidewright";
const std::string preferencesTitle = "Tidewright Preferences";
const QString ruleMenuName = QStringLiteral("When it opens ") + testApplicationName;

DesktopFrame frameOf(double x, double y, double width, double height) {
    return DesktopFrame(DesktopPoint{Points(x), Points(y)}, WindowSize(Points(width), Points(height)));
}

class ProgramWindowsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "ProgramWindowsTests";
        static char* argv[] = {name, nullptr};
        application = new QCoreApplication(argc, argv);
    }
    static void TearDownTestSuite() {
        delete application;
        application = nullptr;
    }

    ProgramWindowsTest() {
        launcher.start();
        atspi = std::make_unique<platform::testing::AtspiDriver>(bus.address());
        setup.setEnvironment("DBUS_SESSION_BUS_ADDRESS", bus.address());
        setup.setEnvironment("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    }

    void startProgram() {
        program = setup.start();
        ASSERT_TRUE(program->waitForHeldHotkeys(6)) << "the program runs";
    }

    std::optional<WindowId> windowTitled(const std::string& title) {
        const std::vector<WindowId> windows = world.mappedWindowsTitled(title);
        if (windows.size() > 1) {
            ADD_FAILURE() << windows.size() << " windows titled " << title;
        }
        return windows.empty() ? std::nullopt : std::optional<WindowId>(windows.front());
    }

    bool waitForWindow(const std::string& title, bool shown, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        return world.waitUntil([&] { return windowTitled(title).has_value() == shown; }, timeout);
    }

    // One of our windows is active: the settings command opens the preferences window.
    void openPreferences() {
        ASSERT_TRUE(world.waitUntil([&] {
            const std::optional<WindowId> welcome = windowTitled(welcomeTitle);
            return welcome && world.activeWindow() == *welcome;
        })) << "the welcome is the active window";
        key("ctrl+comma");
        ASSERT_TRUE(waitForWindow(preferencesTitle, true)) << "the settings command opens the preferences";
    }

    // The element of this role and name inside the window of this title: the windows are the
    // children of the application's root, named by their titles.
    std::optional<AtspiElement> element(const std::string& window, const QString& role, const QString& name) {
        if (std::optional<AtspiElement> found =
                atspi->waitForElement(program->pid(), QString::fromStdString(window), role, name)) {
            return found;
        }
        const std::optional<AtspiElement> root = atspi->application(program->pid());
        ADD_FAILURE() << "no " << role.toStdString() << " \"" << name.toStdString() << "\" in " << window << ":\n"
                      << (root ? atspi->describe(*root) : std::string("the program is not on the bus"));
        return std::nullopt;
    }

    // A press of the first button, at the middle of the element once its window holds still,
    // through the test extension.
    void click(const AtspiElement& target) {
        const std::optional<platform::testing::AtspiExtents> box = atspi->settledExtents(target);
        ASSERT_TRUE(box) << "the element holds still on the screen";
        xdotool("mousemove --sync " + std::to_string(box->centerX()) + " " + std::to_string(box->centerY()) +
                " click 1");
    }

    void key(const std::string& keys) { xdotool("key --delay 50 " + keys); }

    void xdotool(const std::string& arguments) {
        const std::string command = "DISPLAY=" + world.display() + " xdotool " + arguments;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    // The second entry of the rule's menu is centre, the fourth (after a divider) removes it. A
    // menu opened by the mouse has no entry chosen yet: the first Down takes the first.
    void chooseInMenu(const AtspiElement& menuButton, int entry) {
        click(menuButton);
        std::string keys;
        for (int i = 0; i < entry; ++i) {
            keys += "Down ";
        }
        key(keys + "Return");
    }

    std::optional<std::string> storedWelcome() {
        platform::ManualExecutor executor;
        platform::UserDefaults defaults(setup.defaultsFile(), executor);
        return defaults.string("tidewright.welcomePresentation.v1");
    }

    // What another installation over the synced folder, started now, reads as the rules.
    std::map<BundleID, OpeningAction> rulesElsewhere() {
        platform::ManualExecutor executor;
        platform::ManualClock clock{executor};
        testing::PreferenceInstallation other(root / "synced", root / "other.json", executor, clock);
        executor.runUntilIdle();
        return other.repository->summary().usableRules();
    }

    WindowId launchClient(const std::string& options) {
        clients.push_back(world.startClient());
        return clients.back()->open(options);
    }

    DesktopFrame frame(WindowId window) {
        const platform::x11::PixelRect client = world.clientGeometry(window);
        const platform::x11::Extents wm = world.frameExtents(window);
        return frameOf(client.x - wm.left, client.y - wm.top, client.width + wm.left + wm.right,
                       client.height + wm.top + wm.bottom);
    }

    DesktopFrame centred(const DesktopFrame& from) {
        return WindowPlacement::plan(WindowAction::center, from, screens.screens(), SizeCapabilities::unknown(),
                                     PlacementOriginAlignment::wholePoints)
            .requested.frame;
    }

    void terminate() {
        ASSERT_EQ(::kill(program->pid(), SIGTERM), 0);
        const std::optional<int> status = program->process().waitForExit(std::chrono::seconds(10));
        const std::string log = program->remainingLog();
        EXPECT_EQ(status, 0) << log;
        EXPECT_EQ(log.find("unfinished at exit"), std::string::npos) << log;
        program.reset();
    }

    static inline QCoreApplication* application = nullptr;
    platform::testing::X11TestWorld world;
    platform::testing::PrivateSessionBus bus;
    platform::testing::AtspiLauncher launcher{bus};
    std::unique_ptr<platform::testing::AtspiDriver> atspi;
    testing::ProgramUnderTest setup{world.display(), /*firstStart=*/true};
    fs::path root = setup.root();
    platform::ScreenService screens{std::make_shared<platform::X11ScreenSource>(world.display())};
    std::vector<std::unique_ptr<platform::testing::TestClient>> clients;
    std::unique_ptr<testing::RunningProgram> program;
};

TEST_F(ProgramWindowsTest, TheWelcomeOpensOnceAtTheFirstStartAndGetStartedClosesIt) {
    ASSERT_EQ(storedWelcome(), std::nullopt);
    startProgram();
    ASSERT_TRUE(waitForWindow(welcomeTitle, true)) << "the first start opens the welcome";
    // The defaults are written on a later turn than the one that shows the window.
    EXPECT_TRUE(world.waitUntil([&] { return storedWelcome() == "presented"; }, std::chrono::seconds(10)));

    const std::optional<AtspiElement> getStarted =
        element(welcomeTitle, QStringLiteral("push button"), QStringLiteral("Get started"));
    ASSERT_TRUE(getStarted);
    click(*getStarted);
    EXPECT_TRUE(waitForWindow(welcomeTitle, false)) << "Get started closes the welcome";

    // The permission goes with the window manager and comes back: the welcome was offered once in
    // this run and stays closed.
    world.stopWindowManager();
    ASSERT_TRUE(program->waitForHeldHotkeys(0));
    world.startWindowManager();
    ASSERT_TRUE(program->waitForHeldHotkeys(6));
    EXPECT_FALSE(waitForWindow(welcomeTitle, true, std::chrono::seconds(1)));

    terminate();
    startProgram();
    EXPECT_FALSE(waitForWindow(welcomeTitle, true, std::chrono::seconds(2))) << "the second start opens no welcome";
    EXPECT_EQ(storedWelcome(), "presented");
}

TEST_F(ProgramWindowsTest, ARuleMadeInThePreferencesCentresTheNextLaunchUntilItIsRemoved) {
    launchClient("title=running x=100 y=100 w=500 h=300");
    startProgram();
    openPreferences();

    const std::optional<AtspiElement> add =
        element(preferencesTitle, QStringLiteral("button menu"), QStringLiteral("Add a running application"));
    ASSERT_TRUE(add);
    chooseInMenu(*add, 1);
    std::optional<AtspiElement> rule = element(preferencesTitle, QStringLiteral("button menu"), ruleMenuName);
    ASSERT_TRUE(rule) << "the rule for the running application is listed";
    chooseInMenu(*rule, 2);

    ASSERT_TRUE(world.waitUntil([&] {
        const auto rules = rulesElsewhere();
        return rules.contains(testApplication) && rules.at(testApplication) == OpeningAction::center;
    }, std::chrono::seconds(10))) << "another installation reads the rule from the synced folder";

    // Centring keeps the size that the window manager's frame gives the window.
    const WindowId launched = launchClient("title=launched x=100 y=100 w=500 h=300");
    EXPECT_TRUE(world.waitUntil([&] { return frame(launched) == centred(frame(launched)); }, std::chrono::seconds(10)))
        << "the next launch's first window is centred";

    // Removed through the menu's named action, as a screen reader offers it.
    rule = element(preferencesTitle, QStringLiteral("button menu"), ruleMenuName);
    ASSERT_TRUE(rule);
    ASSERT_TRUE(atspi->doAction(*rule, QStringLiteral("Remove rule ") + testApplicationName))
        << atspi->actionNames(*rule).join(QStringLiteral(", ")).toStdString();
    ASSERT_TRUE(world.waitUntil([&] { return !rulesElsewhere().contains(testApplication); },
                                std::chrono::seconds(10)))
        << "the removal reaches the synced folder";

    const WindowId alone = launchClient("title=alone x=100 y=100 w=500 h=300");
    const DesktopFrame before = frame(alone);
    EXPECT_FALSE(world.waitUntil([&] { return !(frame(alone) == before); }, std::chrono::milliseconds(1500)))
        << "a launch without a rule is left alone";
}

TEST_F(ProgramWindowsTest, TheOpenAtLoginSwitchesWriteAndRemoveTheAutostartEntry) {
    const fs::path entry = root / "config" / "autostart" / "app.corbelthane.tidewright.desktop";
    startProgram();
    ASSERT_TRUE(waitForWindow(welcomeTitle, true));
    const QString openAtLogin = QStringLiteral("Open at login");

    // On in the welcome; the preferences show the same state, and turn it off.
    std::optional<AtspiElement> welcomeSwitch = element(welcomeTitle, QStringLiteral("check box"), openAtLogin);
    ASSERT_TRUE(welcomeSwitch);
    EXPECT_FALSE(atspi->checked(*welcomeSwitch));
    click(*welcomeSwitch);
    EXPECT_TRUE(world.waitUntil([&] { return fs::exists(entry); })) << "switched on, the entry is written";
    EXPECT_TRUE(world.waitUntil([&] { return atspi->checked(*welcomeSwitch); }));

    openPreferences();
    std::optional<AtspiElement> preferencesSwitch =
        element(preferencesTitle, QStringLiteral("check box"), openAtLogin);
    ASSERT_TRUE(preferencesSwitch);
    EXPECT_TRUE(atspi->checked(*preferencesSwitch));
    click(*preferencesSwitch);
    EXPECT_TRUE(world.waitUntil([&] { return !fs::exists(entry); })) << "switched off, the entry is removed";
    EXPECT_TRUE(world.waitUntil([&] { return !atspi->checked(*preferencesSwitch) && !atspi->checked(*welcomeSwitch); }));
}

// The sanitizer builds run this too: a leak or a use after free at the end fails the exit status.
TEST_F(ProgramWindowsTest, TerminationWithThePanelThePreferencesAndTheWelcomeOpenEndsCleanly) {
    testing::StatusNotifierHost tray(bus.address());
    // The program waits for the tray's answer to its registration: serve it first.
    program = setup.start();
    ASSERT_TRUE(tray.waitForItem()) << "the status item is in the tray";
    ASSERT_TRUE(program->waitForHeldHotkeys(6)) << "the program runs";
    ASSERT_TRUE(waitForWindow(welcomeTitle, true));
    openPreferences();
    ASSERT_TRUE(windowTitled(welcomeTitle) && windowTitled(preferencesTitle)) << "both windows are open";
    tray.activate(700, 300);
    ASSERT_TRUE(world.waitUntil([&] {
        for (const WindowId window : world.viewableWindowsOf(program->pid())) {
            if (world.clientGeometry(window).width == 368 && world.parentOf(window) &&
                !world.parentOf(*world.parentOf(window))) {
                return true;
            }
        }
        return false;
    })) << "the panel is open";
    // The panel is titled as the welcome.
    ASSERT_EQ(world.mappedWindowsTitled(welcomeTitle).size(), 2U) << "the welcome is still open";
    terminate();
    EXPECT_TRUE(world.mappedWindowsTitled(welcomeTitle).empty());
    EXPECT_FALSE(windowTitled(preferencesTitle));
}

} // namespace
} // namespace tidewright
