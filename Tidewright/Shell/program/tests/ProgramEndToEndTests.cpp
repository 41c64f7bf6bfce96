// The real program on a private display with openbox, two monitors and a panel, with its own XDG
// folders and synced folder: the hot keys it grabs, the windows they move, an opening rule written
// by another installation, operation switched off and on, the window manager stopping, SIGTERM.

#include "platform/concurrency/ManualClock.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/hotkeys/SyntheticKeyboard.hpp"
#include "platform/screens/ScreenService.hpp"
#include "platform/screens/X11ScreenSource.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/core/FixedShortcut.hpp"
#include "tidewright/core/WindowPlacement.hpp"
#include "tidewright/preferences/PreferenceInstallation.hpp"
#include "tidewright/preferences/PreferenceKeys.hpp"
#include "tidewright/shell/ProgramUnderTest.hpp"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace tidewright {
namespace {

namespace fs = std::filesystem;
using platform::testing::WindowId;

// Every test client has this window class and no desktop entry: this is its application.
const BundleID testApplication("wmclass.TidewrightTest");

struct Key {
    FixedShortcut shortcut;
    const char* xdotool;
};
const Key keys[] = {
    {FixedShortcut::left, "ctrl+alt+Left"}, {FixedShortcut::right, "ctrl+alt+Right"},
    {FixedShortcut::up, "ctrl+alt+Up"},     {FixedShortcut::d, "ctrl+alt+d"},
    {FixedShortcut::down, "ctrl+alt+Down"}, {FixedShortcut::c, "ctrl+alt+c"},
};

DesktopFrame frameOf(double x, double y, double width, double height) {
    return DesktopFrame(DesktopPoint{Points(x), Points(y)}, WindowSize(Points(width), Points(height)));
}

class ProgramEndToEndTest : public ::testing::Test {
protected:
    explicit ProgramEndToEndTest(platform::testing::WindowManager manager = platform::testing::WindowManager::openbox)
        : world({.width = 3520, .height = 1080, .manager = manager}) {
        world.setMonitors({{"primary", {0, 0, 1920, 1080}, true}, {"side", {1920, 0, 1600, 900}, false}});
        panels->open("title=dock type=dock decor=0 x=0 y=1040 w=1920 h=40 "
                     "strutpartial=0,0,0,40,0,0,0,0,0,0,0,1919");
    }

    void startProgram() { program = setup.start(); }

    bool hotkeysHeld(bool held) { return setup.hotkeysHeld(held); }

    // Waits for the program's log to say it holds all six or none, then checks that with a grab
    // of another client, which no longer races the program's own.
    bool waitForHotkeys(bool held) { return program->waitForHeldHotkeys(held ? 6 : 0) && hotkeysHeld(held); }

    WindowId open(const std::string& options) {
        clients.push_back(world.startClient());
        const WindowId window = clients.back()->open(options);
        EXPECT_TRUE(world.waitUntil([&] { return world.activeWindow() == window; }));
        return window;
    }

    DesktopFrame frame(WindowId window) {
        const platform::x11::PixelRect client = world.clientGeometry(window);
        const platform::x11::Extents wm = world.frameExtents(window);
        return frameOf(client.x - wm.left, client.y - wm.top, client.width + wm.left + wm.right,
                       client.height + wm.top + wm.bottom);
    }

    DesktopFrame planned(FixedShortcut shortcut, const DesktopFrame& from) {
        return WindowPlacement::plan(action(shortcut), from, screens.screens(), SizeCapabilities::unknown(),
                                     PlacementOriginAlignment::wholePoints)
            .requested.frame;
    }

    void press(const Key& key) {
        const std::string command = "DISPLAY=" + world.display() + " xdotool key " + key.xdotool;
        ASSERT_EQ(std::system(command.c_str()), 0);
    }

    // Presses the key until the window is at expected. The program takes one action at a time and
    // drops a press that comes while it still reads back the last one; the actions find their own
    // result in place, so pressing again is harmless.
    bool pressUntil(const Key& key, WindowId window, const DesktopFrame& expected) {
        for (int attempt = 0; attempt < 5; ++attempt) {
            press(key);
            if (world.waitUntil([&] { return frame(window) == expected; }, std::chrono::seconds(2))) {
                return true;
            }
        }
        return false;
    }

    // Another installation over the same synced folder, as on the user's second machine.
    testing::PreferenceInstallation& other() {
        if (!otherInstallation) {
            otherInstallation = std::make_unique<testing::PreferenceInstallation>(
                root / "synced", root / "other.json", executor, clock);
        }
        return *otherInstallation;
    }

    void edit(const PreferenceEdit& change) {
        other().repository->apply(change);
        executor.runUntilIdle();
    }

    // The program's own defaults file, where it caches what it read from the synced folder.
    std::string programDefaults() {
        std::ifstream input(setup.defaultsFile());
        return std::string(std::istreambuf_iterator<char>(input), {});
    }

    platform::testing::X11TestWorld world;
    std::unique_ptr<platform::testing::TestClient> panels = world.startClient();
    std::vector<std::unique_ptr<platform::testing::TestClient>> clients;
    testing::ProgramUnderTest setup{world.display()};
    fs::path root = setup.root();
    platform::ScreenService screens{std::make_shared<platform::X11ScreenSource>(world.display())};
    platform::ManualExecutor executor;
    platform::ManualClock clock{executor};
    std::unique_ptr<testing::PreferenceInstallation> otherInstallation;
    std::unique_ptr<testing::RunningProgram> program;
};

// The hot keys under each window manager of the test world.
class ProgramHotKeysTest : public ProgramEndToEndTest,
                           public ::testing::WithParamInterface<platform::testing::WindowManager> {
protected:
    ProgramHotKeysTest() : ProgramEndToEndTest(GetParam()) {}
};

TEST_P(ProgramHotKeysTest, PutTheFrontmostWindowAtThePlannedFrameOnEachMonitor) {
    startProgram();
    ASSERT_TRUE(waitForHotkeys(true)) << "the six hot keys are grabbed";
    for (const char* where : {"x=200 y=150", "x=2200 y=150"}) {
        const WindowId window = open(std::string("title=moved w=640 h=400 ") + where);
        for (const Key& key : keys) {
            const DesktopFrame expected = planned(key.shortcut, frame(window));
            EXPECT_TRUE(pressUntil(key, window, expected)) << key.xdotool << " on the window at " << where;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(WindowManagers, ProgramHotKeysTest,
                         ::testing::ValuesIn(platform::testing::testedWindowManagers()),
                         [](const auto& info) { return std::string(platform::testing::nameOf(info.param)); });

TEST_F(ProgramEndToEndTest, ARuleFromAnotherInstallationMaximizesTheFirstWindowOnly) {
    startProgram();
    ASSERT_TRUE(waitForHotkeys(true));
    edit(PreferenceEdit::rule(testApplication, OpeningAction::maximize));
    const std::string key = ruleKey(testApplication);
    ASSERT_TRUE(world.waitUntil([&] { return programDefaults().find(key) != std::string::npos; },
                                std::chrono::seconds(20)))
        << "the program read the rule from the synced folder";

    clients.push_back(world.startClient());
    const WindowId first = clients.back()->open("title=first x=100 y=100 w=500 h=300");
    const DesktopFrame maximized = planned(FixedShortcut::up, frameOf(100, 100, 500, 300));
    EXPECT_TRUE(world.waitUntil([&] { return frame(first) == maximized; }, std::chrono::seconds(10)));

    const WindowId second = clients.back()->open("title=second x=300 y=200 w=400 h=300");
    ASSERT_TRUE(world.waitUntil([&] { return world.activeWindow() == second; }));
    const DesktopFrame before = frame(second);
    // The pass that would take a second window waits on the order of its pauses; give it that long.
    EXPECT_FALSE(world.waitUntil([&] { return !(frame(second) == before); }, std::chrono::seconds(1)))
        << "the second window is left alone";
}

TEST_F(ProgramEndToEndTest, OperationSwitchedOffAndOnThroughTheSyncedFolderWithdrawsAndRestoresHotKeys) {
    startProgram();
    ASSERT_TRUE(waitForHotkeys(true));
    edit(PreferenceEdit::enabled(false));
    EXPECT_TRUE(waitForHotkeys(false));
    edit(PreferenceEdit::enabled(true));
    EXPECT_TRUE(waitForHotkeys(true));
}

TEST_F(ProgramEndToEndTest, HotKeysFollowTheWindowManager) {
    startProgram();
    ASSERT_TRUE(waitForHotkeys(true));
    world.stopWindowManager();
    EXPECT_TRUE(waitForHotkeys(false));
    world.startWindowManager();
    EXPECT_TRUE(waitForHotkeys(true));
}

TEST_F(ProgramEndToEndTest, TerminationSignalEndsTheProgramInOrder) {
    startProgram();
    ASSERT_TRUE(waitForHotkeys(true));
    const WindowId window = open("title=moved x=200 y=150 w=640 h=400");
    const DesktopFrame left = planned(FixedShortcut::left, frame(window));
    ASSERT_TRUE(pressUntil(keys[0], window, left));
    ASSERT_EQ(::kill(program->pid(), SIGTERM), 0);
    const std::optional<int> status = program->process().waitForExit(std::chrono::seconds(10));
    EXPECT_EQ(status, 0) << program->remainingLog();
    // Nothing is rolled back after the end: the window stays where the program put it.
    EXPECT_FALSE(world.waitUntil([&] { return !(frame(window) == left); }, std::chrono::milliseconds(500)));
    EXPECT_TRUE(hotkeysHeld(false)) << "the grabs ended with the program";
}

// The signal comes while an action is under way: as it waits for the permission read that
// authorises it, and as the window moves. The program still ends in order, with nothing left
// behind (the sanitizer builds fail the exit on a leak or a write into freed memory).
TEST_F(ProgramEndToEndTest, TerminationDuringAnActionEndsTheProgramInOrder) {
    const WindowId window = open("title=moving x=200 y=150 w=640 h=400");
    platform::testing::SyntheticKeyboard keyboard(world.display());
    using Keyboard = platform::testing::SyntheticKeyboard;
    constexpr std::uint32_t right = 0xff53;
    enum class When { atThePress, onceTheWindowMoves };
    // Left and right in turn, so that every press has the window to move.
    const struct {
        When when;
        std::uint32_t key;
    } rounds[] = {{When::atThePress, Keyboard::left},
                  {When::onceTheWindowMoves, right},
                  {When::atThePress, Keyboard::left},
                  {When::onceTheWindowMoves, right}};
    for (const auto& round : rounds) {
        SCOPED_TRACE(round.when == When::atThePress ? "at the press" : "once the window moves");
        startProgram();
        ASSERT_TRUE(waitForHotkeys(true));
        const DesktopFrame from = frame(window);
        keyboard.type({Keyboard::controlL, Keyboard::altL, round.key});
        if (round.when == When::onceTheWindowMoves) {
            world.waitUntil([&] { return !(frame(window) == from); }, std::chrono::seconds(2));
        }
        ASSERT_EQ(::kill(program->pid(), SIGTERM), 0);
        const std::optional<int> status = program->process().waitForExit(std::chrono::seconds(10));
        const std::string log = program->remainingLog();
        EXPECT_EQ(status, 0) << log;
        EXPECT_EQ(log.find("unfinished at exit"), std::string::npos) << log;
        program.reset();
    }
}

} // namespace
} // namespace tidewright
