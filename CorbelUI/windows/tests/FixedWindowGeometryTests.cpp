#include "corbel/ui/FixedWindowGeometry.hpp"

#include "FakeDesktop.hpp"

#include <gtest/gtest.h>

namespace corbel {
namespace {

using testing::screen;

TEST(FixedContentHeight, RoundsUpToFourAndStopsBelowTheVisibleHeight) {
    struct Case {
        double reported;
        double visibleHeight;
        double expected;
    };
    const Case cases[] = {
        {401, 1000, 404}, // rounded up
        {400, 1000, 400}, // already a multiple of 4
        {0.5, 1000, 4},   // a sliver still takes one step
        {900, 700, 636},  // capped 64 below the visible height
        {636, 700, 636},  // exactly at the cap
        {10, 50, 1},      // a screen lower than the margin leaves one point
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fixedContentHeight(c.reported, c.visibleHeight), c.expected)
            << c.reported << " on " << c.visibleHeight;
    }
}

TEST(FittedFrame, KeepsTheTopEdgeOrTheCentreAndTheHorizontalCentre) {
    const QRectF visible(0, 32, 1920, 1048);
    const QRectF current(600, 100, 560, 480);
    struct Case {
        const char* name;
        QSizeF frame;
        bool anchorsTop;
        QRectF expected;
    };
    const Case cases[] = {
        // y grows downward: keeping the top keeps minY, and the window grows toward the bottom.
        {"anchored grows down", {560, 600}, true, {600, 100, 560, 600}},
        {"anchored shrinks up", {560, 300}, true, {600, 100, 560, 300}},
        {"centred grows both ways", {560, 600}, false, {600, 40, 560, 600}},
        {"wider keeps the middle", {760, 480}, true, {500, 100, 760, 480}},
        // Growing past the bottom moves the window up rather than cutting it.
        {"anchored pushed up from the bottom", {560, 1000}, true, {600, 80, 560, 1000}},
        // Growing above the top (centred) is pushed back down under the panel.
        {"centred pushed below the panel", {560, 900}, false, {600, 32, 560, 900}},
        {"larger than the screen", {2500, 1200}, true, {0, 32, 1920, 1048}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fittedFrame(current, c.frame, visible, c.anchorsTop), c.expected) << c.name;
    }
}

TEST(FittedFrame, ClampsIntoAScreenAwayFromTheOrigin) {
    // A screen left of and above the primary one, at negative coordinates.
    const QRectF visible(-1280, -200, 1280, 1000);
    const QRectF current(-100, 700, 400, 300); // hangs over the right and bottom edges
    EXPECT_EQ(fittedFrame(current, {400, 300}, visible, true), QRectF(-400, 500, 400, 300));
}

TEST(CentredOrigin, RoundsHalvesAwayFromZeroAndDoesNotClamp) {
    struct Case {
        QSizeF frame;
        QRectF visible;
        QPointF expected;
    };
    const Case cases[] = {
        {{560, 484}, {0, 32, 1920, 1048}, {680, 314}},
        {{560, 484}, {0, 0, 1921, 1081}, {681, 299}},       // 680.5, 298.5 go up
        {{560, 485}, {-1921, 0, 1921, 1080}, {-1241, 298}}, // -1240.5 goes down; 297.5 up
        {{2000, 1200}, {0, 0, 1920, 1080}, {-40, -60}},     // overhangs on every side
    };
    for (const Case& c : cases) {
        EXPECT_EQ(centredOrigin(c.frame, c.visible), c.expected) << c.visible.x() << "," << c.visible.y();
    }
}

TEST(ScreenChoice, APointBelongsToOneScreenAndAFrameToTheLargestOverlap) {
    const std::vector<tidewright::ScreenGeometry> screens{
        screen(1, {0, 0, 1920, 1080}, {0, 32, 1920, 1048}),
        screen(2, {1920, 0, 1280, 1024}, {1920, 0, 1280, 1024}),
        screen(3, {0, -900, 1600, 900}, {0, -900, 1600, 900}), // above the primary
    };
    EXPECT_EQ(screenContaining(screens, {1919.5, 10}), 0u);
    EXPECT_EQ(screenContaining(screens, {1920, 10}), 1u); // a shared edge goes to the right
    EXPECT_EQ(screenContaining(screens, {10, 0}), 0u);    // and to the screen below
    EXPECT_EQ(screenContaining(screens, {10, -1}), 2u);
    EXPECT_EQ(screenContaining(screens, {3000, 1030}), std::nullopt); // under the shorter screen
    EXPECT_EQ(screenContaining(screens, {10, 1080}), std::nullopt);

    EXPECT_EQ(screenOfFrame(screens, {1700, 100, 400, 300}), 0u); // 220 wide on the first
    EXPECT_EQ(screenOfFrame(screens, {1800, 100, 400, 300}), 1u); // 280 wide on the second
    EXPECT_EQ(screenOfFrame(screens, {1720, 100, 400, 300}), 0u); // a tie goes to the earlier
    EXPECT_EQ(screenOfFrame(screens, {5000, 100, 400, 300}), std::nullopt);
}

} // namespace
} // namespace corbel
