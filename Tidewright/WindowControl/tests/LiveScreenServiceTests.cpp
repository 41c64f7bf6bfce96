// The screen service over the live screens of a real display, with a real window manager.

#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"
#include "platform/screens/ScreenService.hpp"
#include "platform/screens/X11ScreenSource.hpp"
#include "platform/testing/BootTime.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/windowcontrol/AccessibilityWindowEvents.hpp"
#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"

#include "GeometryTestSupport.hpp"

#include <gtest/gtest.h>

#include <memory>

namespace tidewright {
namespace {

using platform::testing::X11TestWorld;

TEST(LiveScreenService, EachMonitorLosesOnlyThePanelsAlongItAndConvertsBackExactly) {
    // In root pixels: a tall monitor on the left, a smaller primary one on the right 100 down, made
    // in that order. A 40-pixel dock along the bottom of the primary (its strut reaches from the
    // root's bottom edge, 200 below the monitor) and a 30-pixel top panel along the whole root's
    // top, which only the left monitor reaches.
    X11TestWorld world({.width = 3520, .height = 1200});
    world.setMonitors({{"left", {0, 0, 1920, 1200}, false}, {"right", {1920, 100, 1600, 900}, true}});
    auto panels = world.startClient();
    panels->open("title=dock type=dock decor=0 x=1920 y=960 w=1600 h=40 "
                 "strutpartial=0,0,0,240,0,0,0,0,0,0,1920,3519");
    panels->open("title=panel type=dock decor=0 x=0 y=0 w=1920 h=30 strut=0,0,30,0");

    platform::ScreenService service(std::make_shared<platform::X11ScreenSource>(world.display()));
    const std::vector<ScreenGeometry> screens = service.screens();
    // Desktop coordinates: root pixels less the primary monitor's corner (1920, 100).
    ASSERT_EQ(screens.size(), 2U);
    EXPECT_EQ(screens[0].frame(), frame(0, 0, 1600, 900));
    EXPECT_EQ(screens[0].usableArea(), frame(0, 0, 1600, 860));
    EXPECT_EQ(screens[1].frame(), frame(-1920, -100, 1920, 1200));
    EXPECT_EQ(screens[1].usableArea(), frame(-1920, -70, 1920, 1170));
    EXPECT_NE(screens[0].id(), screens[1].id());

    // The window manager maximizes a window into the same rectangle, as the window logic reads it.
    auto client = world.startClient();
    const auto window = client->open("title=main x=2000 y=200 maximized=1");
    // Read once the window manager has also made it the active window, as a user's window would be.
    ASSERT_TRUE(world.waitUntil([&] { return world.activeWindow() == window; }));
    auto backend = std::make_shared<platform::X11AccessibilityBackend>(world.display());
    AccessibilityWindowEvents<LiveAccessibilityCalls> events(
        LiveAccessibilityCalls(backend),
        ContinuousInstant(platform::testing::bootTime()) + std::chrono::seconds(5),
        std::make_shared<WindowOperationPermit>(), true,
        [] { return ContinuousInstant(platform::testing::bootTime()); });
    EXPECT_EQ(events.mainWindowFrame(client->pid()), screens[0].usableArea());
}

} // namespace
} // namespace tidewright
