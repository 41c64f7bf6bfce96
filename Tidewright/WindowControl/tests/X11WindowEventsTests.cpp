// The window logic over the live call layer on a real display: what the transport does for one
// hot-key press, against windows of our test client managed by a real window manager.

#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"
#include "platform/testing/BootTime.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/windowcontrol/AccessibilityWindowEvents.hpp"
#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace tidewright {
namespace {

using platform::testing::X11TestWorld;
using platform::x11::PixelRect;

ContinuousInstant continuousNow() {
    return ContinuousInstant(platform::testing::bootTime());
}

DesktopFrame frameOf(double x, double y, double width, double height) {
    return DesktopFrame(DesktopPoint{Points(x), Points(y)}, WindowSize(Points(width), Points(height)));
}

DesktopFrame frameOf(const PixelRect& r) {
    return frameOf(r.x, r.y, r.width, r.height);
}

std::optional<WindowOperationFailure> failureOf(const std::function<void()>& body) {
    try {
        body();
    } catch (const WindowOperationFailure& failure) {
        return failure;
    }
    return std::nullopt;
}

class X11WindowEventsTest : public ::testing::Test {
protected:
    // Built afresh for each operation, as the transport does, with its two-second deadline.
    AccessibilityWindowEvents<LiveAccessibilityCalls> events() const {
        return {LiveAccessibilityCalls(backend), continuousNow() + std::chrono::seconds(2), permit, true,
                continuousNow};
    }
    // The visible frame computed here from what the server reports.
    PixelRect serverFrame(platform::x11::WindowId window, platform::x11::Extents shadow = {}) {
        PixelRect client = world->clientGeometry(window);
        platform::x11::Extents frame = world->frameExtents(window);
        PixelRect r{client.x - frame.left + shadow.left, client.y - frame.top + shadow.top,
                    client.width + frame.left + frame.right - shadow.left - shadow.right,
                    client.height + frame.top + frame.bottom - shadow.top - shadow.bottom};
        r.x -= origin.x;
        r.y -= origin.y;
        return r;
    }
    void open(const std::string& options) {
        client = world->startClient();
        window = client->open(options);
        ASSERT_TRUE(world->waitUntil([&] { return world->activeWindow() == window; }));
    }
    // Writes the target through the window events and returns the frame read back.
    DesktopFrame move(const DesktopFrame& target) {
        const DesktopFrame before = events().mainWindowFrame(client->pid());
        events().setFrame(client->pid(), before, target);
        return events().mainWindowFrame(client->pid());
    }

    std::unique_ptr<X11TestWorld> world = std::make_unique<X11TestWorld>();
    std::shared_ptr<platform::X11AccessibilityBackend> backend =
        std::make_shared<platform::X11AccessibilityBackend>(world->display());
    std::shared_ptr<WindowOperationPermit> permit = std::make_shared<WindowOperationPermit>();
    std::unique_ptr<platform::testing::TestClient> client;
    platform::x11::WindowId window = platform::x11::noWindow;
    platform::x11::PixelPoint origin;
};

TEST_F(X11WindowEventsTest, SetFrameMovesARealWindowToTheTarget) {
    open("title=plain x=100 y=100 w=400 h=300");
    const DesktopFrame before = events().mainWindowFrame(client->pid());
    EXPECT_EQ(before, frameOf(serverFrame(window)));
    EXPECT_EQ(events().sizeCapabilities(client->pid(), before), SizeCapabilities::unknown());

    for (const DesktopFrame& target :
         {frameOf(0, 0, 960, 1080), frameOf(960, 0, 960, 1080), frameOf(480, 270, 960, 540)}) {
        EXPECT_EQ(move(target), target);
        EXPECT_EQ(frameOf(serverFrame(window)), target);
    }
}

TEST_F(X11WindowEventsTest, AWindowWithSizeLimitsTakesAnotherSize) {
    struct Case {
        const char* options;
        // What the window manager must have made of the 555 x 333 frame asked for.
        std::function<bool(const PixelRect& client)> accepted;
    };
    const Case cases[] = {
        {"title=stepped w=400 h=300 inc=10x10",
         [](const PixelRect& c) {
             return c.width % 10 == 0 && c.height % 10 == 0;
         }},
        {"title=large w=700 h=500 min=650x450",
         [](const PixelRect& c) {
             return c.width == 650 && c.height == 450;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options);
        open(c.options);
        const DesktopFrame target = frameOf(100, 50, 555, 333);
        const DesktopFrame back = move(target);
        EXPECT_NE(back.size(), target.size());
        EXPECT_EQ(back.origin(), target.origin());
        EXPECT_EQ(back, frameOf(serverFrame(window)));
        EXPECT_TRUE(c.accepted(world->clientGeometry(window)));
        client.reset();
    }
}

TEST_F(X11WindowEventsTest, AFixedSizeWindowReadsAsNotSettable) {
    open("title=fixed w=300 h=200 min=300x200 max=300x200");
    const DesktopFrame frame = events().mainWindowFrame(client->pid());
    EXPECT_EQ(events().sizeCapabilities(client->pid(), frame), SizeCapabilities::fixed(frame.size()));
}

TEST_F(X11WindowEventsTest, AMaximizedWindowIsMovedAllTheSame) {
    open("title=maximized maximized=1");
    const DesktopFrame target = frameOf(200, 100, 800, 600);
    EXPECT_EQ(move(target), target);
    EXPECT_FALSE(world->maximized(window));
}

TEST_F(X11WindowEventsTest, AClientDecoratedWindowIsPlacedWithItsVisibleFrameOnTheTarget) {
    open("title=drawn decor=0 gtk=24,24,18,30 w=600 h=400");
    const DesktopFrame target = frameOf(0, 0, 960, 1080);
    EXPECT_EQ(move(target), target);
    // The invisible shadow lies outside the screen; the visible frame touches its corner.
    EXPECT_EQ(world->clientGeometry(window), (PixelRect{-24, -18, 960 + 48, 1080 + 48}));
}

TEST_F(X11WindowEventsTest, DesktopCoordinatesStartAtThePrimaryScreen) {
    world = std::make_unique<X11TestWorld>(X11TestWorld::Options{.width = 3840, .height = 1080});
    backend = std::make_shared<platform::X11AccessibilityBackend>(world->display());
    world->setMonitors({{"left", {0, 0, 1920, 1080}, false}, {"right", {1920, 0, 1920, 1080}, true}});
    origin = {1920, 0};
    open("title=wide x=2100 y=100");
    EXPECT_EQ(events().mainWindowFrame(client->pid()), frameOf(serverFrame(window)));
    // The left screen lies at negative desktop coordinates.
    const DesktopFrame left = frameOf(-1920, 0, 960, 1080);
    EXPECT_EQ(move(left), left);
    EXPECT_EQ(world->clientGeometry(window).x, world->frameExtents(window).left);
}

TEST_F(X11WindowEventsTest, AWindowDestroyedBetweenTwoCallsIsNoLongerEligible) {
    open("title=doomed");
    const DesktopFrame frame = events().mainWindowFrame(client->pid());
    client->destroy(window);
    EXPECT_EQ(failureOf([&] { events().setFrame(client->pid(), frame, frameOf(0, 0, 500, 500)); }),
              WindowOperationFailure::noUniqueEligibleWindow());
}

TEST_F(X11WindowEventsTest, TheMainWindowOfAProcessWithADialogOpenIsItsParent) {
    open("title=document x=50 y=60");
    platform::x11::WindowId document = window;
    platform::x11::WindowId dialog =
        client->open("title=dialog type=dialog modal=1 transient=" + std::to_string(document));
    ASSERT_TRUE(world->waitUntil([&] { return world->activeWindow() == dialog; }));
    EXPECT_EQ(events().mainWindowFrame(client->pid()), frameOf(serverFrame(document)));
}

TEST_F(X11WindowEventsTest, AProcessWhoseOnlyWindowIsMinimizedHasNoEligibleWindow) {
    open("title=only");
    client->minimize(window);
    EXPECT_EQ(failureOf([&] { events().mainWindowFrame(client->pid()); }),
              WindowOperationFailure::noUniqueEligibleWindow());
}

TEST_F(X11WindowEventsTest, WithoutAWindowManagerTheProcessIsNotTrusted) {
    open("title=orphan");
    world->stopWindowManager();
    EXPECT_EQ(failureOf([&] { events().mainWindowFrame(client->pid()); }),
              WindowOperationFailure::invalidated());
}

} // namespace
} // namespace tidewright
