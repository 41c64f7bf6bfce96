#include "platform/screens/X11ScreenSource.hpp"

#include "platform/testing/X11TestWorld.hpp"
#include "platform/x11/Monitors.hpp"
#include "platform/x11/XcbConnection.hpp"

#include <gtest/gtest.h>

#include <signal.h>

#include <cstring>
#include <string>
#include <vector>

namespace platform {
namespace {

using testing::X11TestWorld;

std::uint32_t numberOf(const Screen& screen) {
    return std::get<std::uint32_t>(screen.deviceDescription.at(screenNumberKey));
}

xcb_atom_t atomNamed(x11::XcbConnection& connection, const char* name) {
    auto cookie = xcb_intern_atom(connection.raw(), 1, static_cast<std::uint16_t>(std::strlen(name)), name);
    auto reply = connection.pending<xcb_intern_atom_reply_t>(cookie.sequence)
                     .get(x11::Clock::now() + std::chrono::seconds(5));
    return reply->atom;
}

// A tall monitor on the left and a smaller primary one on the right, 100 pixels down, made in that
// order. The server lists the primary monitor first whatever the order they were made in.
class TwoMonitors : public ::testing::Test {
protected:
    TwoMonitors() {
        world.setMonitors({{"left", {0, 0, 1920, 1200}, false}, {"right", {1920, 100, 1600, 900}, true}});
    }
    X11TestWorld world{{.width = 3520, .height = 1200}};
    X11ScreenSource source{world.display()};
    // The right monitor's bottom edge is 200 above the root's: a 40-pixel panel reserves 240.
    const std::string bottomPanel = "strutpartial=0,0,0,240,0,0,0,0,0,0,1920,3519";
};

TEST_F(TwoMonitors, NumbersTheMonitorsByTheirNamesThePrimaryFirst) {
    const std::vector<Screen> screens = source.screens();
    ASSERT_EQ(screens.size(), 2U);
    EXPECT_EQ(numberOf(screens[0]), atomNamed(world.connection(), "right"));
    EXPECT_EQ(numberOf(screens[1]), atomNamed(world.connection(), "left"));
    EXPECT_EQ(screens[0].frame, (ScreenRect{0, 0, 1600, 900}));
    EXPECT_EQ(screens[1].frame, (ScreenRect{-1920, -200, 1920, 1200}));
    EXPECT_EQ(screens[0].visibleFrame, screens[0].frame);
    EXPECT_EQ(screens[1].visibleFrame, screens[1].frame);
}

TEST_F(TwoMonitors, OnlyTheViewableManagedWindowsReserveSpace) {
    auto client = world.startClient();
    const auto dock = client->open("title=dock type=dock decor=0 x=1920 y=960 w=1600 h=40 " + bottomPanel);
    const ScreenRect rightVisible{0, 40, 1600, 860};
    EXPECT_EQ(source.screens().at(0).visibleFrame, rightVisible);

    // A minimized window's strut reserves nothing, nor does one on a window no manager manages.
    const auto minimized = client->open("title=minimized strut=0,0,30,0");
    client->minimize(minimized);
    client->setProperty(client->openLeader(), "_NET_WM_STRUT:CARDINAL:32:0,0,30,0");
    std::vector<Screen> screens = source.screens();
    EXPECT_EQ(screens.at(0).visibleFrame, rightVisible);
    EXPECT_EQ(screens.at(1).visibleFrame, screens.at(1).frame);

    // Read afresh: a strut written since the last reading shows, a window gone takes its strut along.
    client->setProperty(dock, "_NET_WM_STRUT_PARTIAL:CARDINAL:32:100,0,0,0,0,1199,0,0,0,0,0,0");
    screens = source.screens();
    EXPECT_EQ(screens.at(0).visibleFrame, screens.at(0).frame);
    EXPECT_EQ(screens.at(1).visibleFrame, (ScreenRect{-1820, -200, 1820, 1200}));
    client->destroy(dock);
    EXPECT_EQ(source.screens().at(1).visibleFrame, screens.at(1).frame);
}

TEST_F(TwoMonitors, AServerThatStopsAnsweringGivesNoScreensUntilItAnswersAgain) {
    X11ScreenSource impatient(world.display(), std::chrono::milliseconds(50));
    // A slow machine may need more than one try to connect within the short timeout.
    std::vector<Screen> screens;
    ASSERT_TRUE(world.waitUntil([&] { return !(screens = impatient.screens()).empty(); }));
    ::kill(world.serverPid(), SIGSTOP);
    EXPECT_TRUE(impatient.screens().empty());
    ::kill(world.serverPid(), SIGCONT);
    // The late replies of the reading given up on are never taken for the answers of a later one.
    ASSERT_TRUE(world.waitUntil([&] { return !(screens = impatient.screens()).empty(); }));
    EXPECT_EQ(screens, source.screens());
}

// fluxbox draws its toolbar itself and reserves its space only through the work area, which spans
// both monitors: the monitor it lies along loses the strip, the other keeps its whole height.
TEST(X11ScreenSource, FluxboxsToolbarShrinksOnlyTheMonitorItLiesAlong) {
    X11TestWorld world({.width = 3840, .height = 1080, .windowManager = false,
                        .manager = testing::WindowManager::fluxbox});
    world.setMonitors({{"left", {0, 0, 1920, 1080}, true}, {"right", {1920, 0, 1920, 1080}, false}});
    world.startWindowManager();
    X11ScreenSource source(world.display());
    std::vector<Screen> screens;
    // fluxbox lays its toolbar out once its event loop runs.
    ASSERT_TRUE(world.waitUntil([&] {
        screens = source.screens();
        return screens.size() == 2 && screens[0].visibleFrame != screens[0].frame;
    }));
    EXPECT_EQ(screens[0].frame, (ScreenRect{0, 0, 1920, 1080}));
    EXPECT_EQ(screens[0].visibleFrame.y, 20);
    EXPECT_EQ(screens[0].visibleFrame.height, 1060);
    EXPECT_EQ(screens[1].visibleFrame, screens[1].frame);
}

TEST(X11ScreenSource, NoDisplayGivesNoScreens) {
    X11ScreenSource source(":4093", std::chrono::milliseconds(500));
    EXPECT_TRUE(source.screens().empty());
}

} // namespace
} // namespace platform
