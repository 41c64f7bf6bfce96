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

} // namespace
} // namespace platform::x11
