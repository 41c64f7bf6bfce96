#include "platform/x11/X11Desktop.hpp"

#include "platform/testing/X11TestWorld.hpp"
#include "platform/x11/Monitors.hpp"
#include "platform/x11/ServerWaits.hpp"
#include "platform/x11/WindowOwner.hpp"

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <map>
#include <string>
#include <utility>

namespace platform::x11 {
namespace {

using testing::X11TestWorld;

TEST(X11Desktop, MovesThroughTheWindowManagerAndReadsTheFrameBack) {
    X11TestWorld world;
    auto client = world.startClient();
    xcb_window_t window = client->open("title=moved x=100 y=100 w=400 h=300");
    X11Desktop& desktop = world.desktop();
    PixelRect before = desktop.frame(window, world.soon());
    desktop.moveResize(window, PixelPoint{300, 200}, PixelSize{500, 350}, world.soon());
    PixelRect after = desktop.frame(window, world.soon());
    EXPECT_EQ(after, (PixelRect{300, 200, 500, 350})) << before.x << "," << before.y;
}

class X11DesktopUnder : public ::testing::TestWithParam<testing::WindowManager> {};

// Every read waits until the window manager applied the moves before it, whether it answers a
// frame-extents request for a window it does not manage (openbox, icewm) or not (fluxbox); each
// move in turn is read back where it was asked to go.
TEST_P(X11DesktopUnder, EachMoveIsAppliedBeforeTheNextRead) {
    X11TestWorld world({.manager = GetParam()});
    auto client = world.startClient();
    xcb_window_t window = client->open("title=moved x=100 y=100 w=400 h=300");
    // A connection of its own that keeps replies, as the Accessibility backend's does.
    auto connection = XcbConnection::open(world.display(), world.soon());
    connection->keepReplies();
    X11Desktop desktop(*connection);
    const PixelRect targets[] = {{300, 200, 500, 350}, {40, 60, 500, 350}, {40, 60, 640, 420}, {500, 100, 300, 200}};
    for (const PixelRect& target : targets) {
        connection->discardEvents();
        desktop.sendMoveResize(desktop.requestClientList(), window, PixelPoint{target.x, target.y},
                               PixelSize{target.width, target.height}, world.soon());
        connection->discardEvents();
        desktop.settle(world.soon());
        EXPECT_EQ(desktop.frame(window, world.soon()), target);
    }
}

// A wait that ends at its deadline gives the moves up; it does not leave every later read waiting
// for an answer that will not come.
TEST_P(X11DesktopUnder, AMoveNeverAnsweredIsWaitedForOnce) {
    X11TestWorld world({.manager = GetParam()});
    auto client = world.startClient();
    xcb_window_t window = client->open("title=moved x=100 y=100 w=400 h=300");
    X11Desktop& desktop = world.desktop();
    ::kill(world.windowManagerPid(), SIGSTOP);
    desktop.sendMoveResize(std::nullopt, window, PixelPoint{300, 200}, PixelSize{500, 350}, world.soon());
    EXPECT_THROW(desktop.settle(Clock::now() + std::chrono::milliseconds(200)), XcbFailure);
    ::kill(world.windowManagerPid(), SIGCONT);
    // Nothing is owed any more: a wait whose deadline has passed already returns.
    EXPECT_NO_THROW(desktop.settle(Clock::now()));
}

INSTANTIATE_TEST_SUITE_P(WindowManagers, X11DesktopUnder, ::testing::ValuesIn(testing::testedWindowManagers()),
                         [](const auto& info) { return std::string(testing::nameOf(info.param)); });

// Any client may write its size hints short or in another format; only the fields the property
// holds count, whatever its flags claim.
TEST(X11Desktop, SizeHintsAreReadOnlyAsFarAsThePropertyGoes) {
    struct Case {
        const char* property;
        SizeHints hints;
    };
    // Flags 48 claim both the minimum (fields 5 and 6) and the maximum (fields 7 and 8).
    const Case cases[] = {
        {"WM_NORMAL_HINTS:WM_SIZE_HINTS:32:48", {}},
        {"WM_NORMAL_HINTS:WM_SIZE_HINTS:32:48,0,0,0,0,100,80", {PixelSize{100, 80}, std::nullopt}},
        {"WM_NORMAL_HINTS:WM_SIZE_HINTS:32:48,0,0,0,0,100,80,600", {PixelSize{100, 80}, std::nullopt}},
        {"WM_NORMAL_HINTS:WM_SIZE_HINTS:32:48,0,0,0,0,100,80,600,500",
         {PixelSize{100, 80}, PixelSize{600, 500}}},
        {"WM_NORMAL_HINTS:WM_SIZE_HINTS:16:48,0,0,0,0,100,80,100,80", {}},
        {"WM_NORMAL_HINTS:WM_SIZE_HINTS:32:", {}},
    };
    X11TestWorld world;
    auto client = world.startClient();
    for (const Case& c : cases) {
        xcb_window_t window = client->open(std::string("title=hinted prop=") + c.property);
        EXPECT_EQ(world.desktop().sizeHints(window, world.soon()), c.hints) << c.property;
    }
}

// Any client can write any pid on its windows; the server's word holds.
TEST(X11Desktop, TheOwnerOfAWindowIsTheProcessTheServerNames) {
    // "elsewhere", byte by byte, as the test client writes raw properties.
    const std::string elsewhere = "WM_CLIENT_MACHINE:STRING:8:101,108,115,101,119,104,101,114,101";
    const std::string written[] = {
        "title=honest",
        "title=bogus prop=_NET_WM_PID:CARDINAL:32:4294967295",
        "title=borrowed prop=_NET_WM_PID:CARDINAL:32:1",
        "title=remote prop=" + elsewhere,
        "title=silent pid=0",
    };
    X11TestWorld world;
    auto client = world.startClient();
    for (const std::string& options : written) {
        xcb_window_t window = client->open(options);
        EXPECT_EQ(windowOwner(world.connection(), window, world.soon()), client->pid()) << options;
    }
    // A window that is gone has no owner to tell: the caller learns it is gone.
    xcb_window_t gone = client->open("title=gone");
    client->destroy(gone);
    try {
        windowOwner(world.connection(), gone, world.soon());
        ADD_FAILURE() << "a gone window answered";
    } catch (const XcbFailure& failure) {
        EXPECT_TRUE(failure.isBadWindow());
    }
}

// Requests sent together cost one trip however their answers arrive; a request sent after a trip
// began costs another.
TEST(X11Desktop, RequestsSentTogetherCountAsOneRoundTrip) {
    X11TestWorld world;
    auto client = world.startClient();
    xcb_window_t window = client->open("title=counted");
    X11Desktop& desktop = world.desktop();
    const auto tripsOf = [](const auto& body) {
        const ServerWaits before = serverWaits();
        body();
        const ServerWaits spent = serverWaits() - before;
        return std::pair{spent.roundTrips, spent.replies};
    };
    EXPECT_EQ(tripsOf([&] { desktop.placement(window, world.soon()); }), std::pair(1UL, 5UL));
    EXPECT_EQ(tripsOf([&] {
                  auto states = desktop.requestStates(window);
                  auto types = desktop.requestTypes(window);
                  desktop.atomsFrom(std::move(types), world.soon());
                  desktop.atomsFrom(std::move(states), world.soon());
              }),
              std::pair(1UL, 2UL));
    EXPECT_EQ(tripsOf([&] {
                  desktop.states(window, world.soon());
                  desktop.types(window, world.soon());
              }),
              std::pair(2UL, 2UL));
}

TEST(X11Desktop, MonitorsWithTheirNamesAreasAndThePrimary) {
    X11TestWorld world({.width = 3840, .height = 1200});
    world.setMonitors({{"left", {0, 0, 1920, 1200}, false}, {"right", {1920, 100, 1920, 1080}, true}});
    XcbConnection& connection = world.connection();
    std::map<std::string, Monitor> byName;
    for (const Monitor& monitor : readMonitors(connection, world.soon())) {
        auto reply = connection
                         .pending<xcb_get_atom_name_reply_t>(
                             xcb_get_atom_name(connection.raw(), monitor.name).sequence)
                         .get(world.soon());
        byName[std::string(xcb_get_atom_name_name(reply.get()),
                           static_cast<std::size_t>(xcb_get_atom_name_name_length(reply.get())))] = monitor;
    }
    ASSERT_EQ(byName.size(), 2U);
    EXPECT_EQ(byName["left"].area, (PixelRect{0, 0, 1920, 1200}));
    EXPECT_FALSE(byName["left"].primary);
    EXPECT_EQ(byName["right"].area, (PixelRect{1920, 100, 1920, 1080}));
    EXPECT_TRUE(byName["right"].primary);
}

TEST(X11Desktop, TheDesktopOriginIsThePrimaryMonitorsCorner) {
    const Monitor left{.name = 1, .primary = false, .area = {0, 0, 100, 100}};
    const Monitor right{.name = 2, .primary = true, .area = {100, 20, 100, 100}};
    EXPECT_EQ(desktopOriginOf({}), (PixelPoint{0, 0}));
    EXPECT_EQ(desktopOriginOf({right, left}), (PixelPoint{100, 20}));
    EXPECT_EQ(desktopOriginOf({left, right}), (PixelPoint{100, 20}));
    Monitor first = right;
    first.primary = false;
    EXPECT_EQ(desktopOriginOf({first, left}), (PixelPoint{100, 20}));
}

} // namespace
} // namespace platform::x11
