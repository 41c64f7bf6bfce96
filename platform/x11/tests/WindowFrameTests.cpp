#include "platform/x11/WindowFrame.hpp"

#include <gtest/gtest.h>

#include <cstdint>

namespace platform::x11 {
namespace {

struct FrameCase {
    const char* name;
    ClientPlacement placement;
    PixelRect visible;
};

const FrameCase frameCases[] = {
    {"undecorated at the origin", {{0, 0}, {640, 480}, 0, {}, {}, {}}, {0, 0, 640, 480}},
    {"decorated by the window manager",
     {{105, 128}, {400, 300}, 0, {5, 5, 28, 5}, {}, {}},
     {100, 100, 410, 333}},
    {"client-side shadow", {{200, 150}, {500, 400}, 0, {}, {26, 26, 23, 29}, {}}, {226, 173, 448, 348}},
    {"border and decorations", {{12, 32}, {100, 80}, 2, {10, 10, 30, 10}, {}, {}}, {0, 0, 124, 124}},
    {"second screen primary", {{1925, 28}, {400, 300}, 0, {5, 5, 28, 5}, {}, {1920, 0}}, {0, 0, 410, 333}},
    {"left of the primary screen",
     {{5, 128}, {400, 300}, 0, {5, 5, 28, 5}, {}, {1920, 0}},
     {-1920, 100, 410, 333}},
    // A client can write any shadow on its own window; one that leaves nothing of the client
    // visible, or whose sides read as negative, is not a shadow and is ignored.
    {"shadow wider than the client",
     {{200, 150}, {100, 80}, 0, {}, {300, 300, 0, 0}, {}},
     {200, 150, 100, 80}},
    {"shadow taller than the client",
     {{200, 150}, {100, 80}, 0, {}, {0, 0, 150, 150}, {}},
     {200, 150, 100, 80}},
    {"shadow side read as negative", {{200, 150}, {100, 80}, 0, {}, {-1, 0, 0, 0}, {}}, {200, 150, 100, 80}},
    {"huge shadow", {{200, 150}, {100, 80}, 0, {}, {INT32_MAX, INT32_MAX, 0, 0}, {}}, {200, 150, 100, 80}},
};

class WindowFrameTest : public ::testing::TestWithParam<FrameCase> {};

TEST_P(WindowFrameTest, VisibleFrameAndRequestAreInverse) {
    const FrameCase& c = GetParam();
    EXPECT_EQ(visibleFrame(c.placement), c.visible);

    // The request for the frame the window already has names the window's own geometry.
    MoveResizeRequest same = requestFor(c.visible, c.placement);
    EXPECT_EQ(same.size, c.placement.size);
    EXPECT_EQ(same.position.x, c.placement.rootOrigin.x - c.placement.border - c.placement.decoration.left);
    EXPECT_EQ(same.position.y, c.placement.rootOrigin.y - c.placement.border - c.placement.decoration.top);

    // A window manager that applies a request (north-west gravity) reproduces the frame written.
    const PixelRect target{c.visible.x + 37, c.visible.y - 11, c.visible.width + 50, 200};
    MoveResizeRequest request = requestFor(target, c.placement);
    ClientPlacement applied = c.placement;
    applied.rootOrigin = {request.position.x + c.placement.border + c.placement.decoration.left,
                          request.position.y + c.placement.border + c.placement.decoration.top};
    applied.size = request.size;
    EXPECT_EQ(visibleFrame(applied), target);
}

INSTANTIATE_TEST_SUITE_P(Placements, WindowFrameTest, ::testing::ValuesIn(frameCases), [](const auto& info) {
    std::string name = info.param.name;
    for (char& ch : name) {
        if (!std::isalnum(static_cast<unsigned char>(ch)))
            ch = '_';
    }
    return name;
});

// Decorations come from the window manager, but any client may overwrite the property; values no
// frame could have must neither overflow the sums nor move the frame.
TEST(WindowFrame, ImplausibleDecorationsAreIgnored) {
    const Extents implausible[] = {
        {INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}, {-5, 5, 28, 5}, {5, 5, INT32_MIN, 5}};
    for (const Extents& decoration : implausible) {
        const ClientPlacement placement{{105, 128}, {400, 300}, 0, decoration, {}, {}};
        EXPECT_EQ(visibleFrame(placement), (PixelRect{105, 128, 400, 300}));
        const MoveResizeRequest request = requestFor(PixelRect{10, 20, 300, 200}, placement);
        EXPECT_EQ(request, (MoveResizeRequest{{10, 20}, {300, 200}}));
    }
}

} // namespace
} // namespace platform::x11
