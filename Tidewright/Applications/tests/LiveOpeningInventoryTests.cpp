#include "tidewright/applications/OpeningAdapters.hpp"

#include "platform/accessibility/AccessibilityNames.hpp"
#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "platform/windowserver/X11WindowServer.hpp"

#include <signal.h>

#include <gtest/gtest.h>

namespace tidewright {
namespace {

namespace ax = platform::ax;
using platform::testing::X11TestWorld;

// The frames of the process's windows as the Accessibility backend reads them, in client-list order.
std::vector<DesktopFrame> accessibilityFrames(platform::X11AccessibilityBackend& backend, std::int32_t pid) {
    std::optional<platform::AXAttributeValue> windows;
    EXPECT_EQ(backend.copyAttributeValue(backend.createApplication(pid), ax::windowsAttribute, windows),
              platform::AXError::success);
    std::vector<DesktopFrame> frames;
    for (const platform::AXUIElement& window : std::get<platform::AXElementArray>(windows.value())) {
        std::optional<platform::AXAttributeValue> position;
        std::optional<platform::AXAttributeValue> size;
        backend.copyAttributeValue(window, ax::positionAttribute, position);
        backend.copyAttributeValue(window, ax::sizeAttribute, size);
        const platform::CGPoint p = std::get<platform::AXValue>(position.value()).point().value();
        const platform::CGSize s = std::get<platform::AXValue>(size.value()).size().value();
        frames.push_back(DesktopFrame(DesktopPoint{Points(p.x), Points(p.y)},
                                      WindowSize(Points(s.width), Points(s.height))));
    }
    return frames;
}

TEST(LiveOpeningInventoryTest, FramesEqualTheAccessibilityFramesOnTwoMonitorsWithAClientDrawnFrame) {
    X11TestWorld world(X11TestWorld::Options{.width = 3840, .height = 1080});
    // The primary monitor on the right shifts the desktop origin.
    world.setMonitors({{"left", {0, 0, 1920, 1080}, false}, {"right", {1920, 0, 1920, 1080}, true}});
    auto client = world.startClient();
    client->open("title=plain x=100 y=120 w=640 h=480");
    client->open("title=csd x=2200 y=300 w=500 h=400 gtk=12,12,8,16 decor=0");
    client->open("title=tool type=utility x=50 y=50 w=200 h=100");
    const std::int32_t pid = client->pid();

    platform::X11WindowServer server(world.display());
    const OpeningInventoryResult result = parseOpeningInventory(server.copyWindowInfo(), {pid});
    ASSERT_TRUE(result.isAvailable());
    ASSERT_EQ(result.entries().size(), 3U);

    platform::X11AccessibilityBackend backend(world.display());
    std::vector<DesktopFrame> expected = accessibilityFrames(backend, pid);
    ASSERT_EQ(expected.size(), 3U);
    int layerZero = 0;
    for (const OpeningInventoryEntry& entry : result.entries()) {
        ASSERT_TRUE(entry.frame.has_value());
        EXPECT_NE(std::find(expected.begin(), expected.end(), *entry.frame), expected.end())
            << entry.frame->minX() << "," << entry.frame->minY();
        EXPECT_TRUE(entry.isOnscreen);
        layerZero += entry.layer == 0 ? 1 : 0;
    }
    EXPECT_EQ(layerZero, 2); // the utility window is off the normal layer
}

TEST(LiveOpeningInventoryTest, ABogusProcessIdOnOneWindowDoesNotSpoilTheList) {
    X11TestWorld world;
    auto client = world.startClient();
    auto other = world.startClient();
    client->open("title=good w=300 h=200");
    other->open("title=bogus w=300 h=200 prop=_NET_WM_PID:CARDINAL:32:4294967295");
    platform::X11WindowServer server(world.display());
    const OpeningInventoryResult result = parseOpeningInventory(server.copyWindowInfo(), {client->pid()});
    ASSERT_TRUE(result.isAvailable());
    EXPECT_EQ(result.entries().size(), 1U);
}

TEST(LiveOpeningInventoryTest, AServerThatStopsAnsweringGivesNoListWithinTheLimit) {
    X11TestWorld world;
    auto client = world.startClient();
    client->open("title=a w=300 h=200");
    platform::X11WindowServer server(world.display());
    ASSERT_TRUE(server.copyWindowInfo().has_value());
    ::kill(world.serverPid(), SIGSTOP);
    const auto started = std::chrono::steady_clock::now();
    const bool answered = server.copyWindowInfo().has_value();
    const auto took = std::chrono::steady_clock::now() - started;
    ::kill(world.serverPid(), SIGCONT);
    EXPECT_FALSE(answered);
    EXPECT_LT(took, std::chrono::seconds(4));
}

} // namespace
} // namespace tidewright
