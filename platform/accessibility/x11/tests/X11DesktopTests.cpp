#include "platform/accessibility/x11/X11Desktop.hpp"
#include "platform/testing/X11TestWorld.hpp"

#include <gtest/gtest.h>

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

} // namespace
} // namespace platform::x11
