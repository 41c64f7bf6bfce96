#include "GeometryTestSupport.hpp"
#include "tidewright/core/Geometry.hpp"

#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <optional>
#include <string>
#include <unordered_set>

namespace tidewright {
namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double largest = std::numeric_limits<double>::max();

using Kind = GeometryError::Kind;

// One construction and the refusal it should give, if any.
struct ConstructionCase {
    std::string name;
    std::function<void()> build;
    std::optional<Kind> refusal;
};

void PrintTo(const ConstructionCase& c, std::ostream* os) {
    *os << c.name;
}

class Construction : public testing::TestWithParam<ConstructionCase> {};

TEST_P(Construction, AcceptsOrRefusesWithTheRightKind) {
    const auto& c = GetParam();
    const auto error = thrownGeometryError(c.build);
    if (c.refusal) {
        ASSERT_TRUE(error.has_value()) << "accepted";
        EXPECT_EQ(error->kind, *c.refusal);
        EXPECT_EQ(error->screenID, std::nullopt);
    } else {
        EXPECT_EQ(error, std::nullopt);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Points, Construction,
    testing::Values(ConstructionCase{"infinity", [] { Points{inf}; }, Kind::nonFinitePoints},
                    ConstructionCase{"minusInfinity", [] { Points{-inf}; }, Kind::nonFinitePoints},
                    ConstructionCase{"nan", [] { Points{nan}; }, Kind::nonFinitePoints},
                    ConstructionCase{"largestFinite", [] { Points{largest}; }, std::nullopt},
                    ConstructionCase{"lowestFinite", [] { Points{-largest}; }, std::nullopt}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    WindowSize, Construction,
    testing::Values(
        ConstructionCase{"zeroWidth", [] { size(0, 10); }, Kind::nonPositiveSize},
        ConstructionCase{"negativeWidth", [] { size(-1, 10); }, Kind::nonPositiveSize},
        ConstructionCase{"negativeZeroHeight", [] { size(10, -0.0); }, Kind::nonPositiveSize},
        ConstructionCase{"areaOverflows", [] { size(1e200, 1e200); }, Kind::unrepresentableGeometry},
        ConstructionCase{"areaUnderflows", [] { size(1e-200, 1e-200); }, Kind::unrepresentableGeometry},
        ConstructionCase{"tinyButRepresentable", [] { size(1e-200, 1); }, std::nullopt},
        ConstructionCase{"hugeTimesTiny", [] { size(1e300, 1e-300); }, std::nullopt}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    DesktopFrame, Construction,
    testing::Values(ConstructionCase{"farEdgeRoundsBackOntoOrigin", [] { frame(1e20, 0, 1, 1); },
                                     Kind::unrepresentableGeometry},
                    ConstructionCase{"farEdgeInfinite", [] { frame(largest, 0, 1e300, 1); },
                                     Kind::unrepresentableGeometry},
                    ConstructionCase{"farBottomRoundsBack", [] { frame(0, -1e20, 1, 1); },
                                     Kind::unrepresentableGeometry},
                    ConstructionCase{"negativeOrigin", [] { frame(-1e6, -1e6, 0.5, 0.5); }, std::nullopt},
                    ConstructionCase{"largeButMoving", [] { frame(1e15, 0, 1, 1); }, std::nullopt}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    ScreenGeometry, Construction,
    testing::Values(
        ConstructionCase{"usableEqualsFrame", [] { screen(1, frame(0, 0, 1440, 900)); }, std::nullopt},
        ConstructionCase{"usableInside", [] { screen(1, frame(0, 0, 1440, 900), frame(0, 25, 1440, 800)); },
                         std::nullopt},
        ConstructionCase{"onePointBeyondBottom",
                         [] { screen(1, frame(0, 0, 1440, 900), frame(0, 25, 1440, 876)); },
                         Kind::usableAreaOutsideScreen},
        ConstructionCase{"leftOfFrame", [] { screen(1, frame(0, 0, 1440, 900), frame(-0.5, 0, 100, 100)); },
                         Kind::usableAreaOutsideScreen},
        ConstructionCase{"aboveFrame", [] { screen(1, frame(0, 0, 1440, 900), frame(0, -1, 100, 100)); },
                         Kind::usableAreaOutsideScreen},
        ConstructionCase{"beyondRight", [] { screen(1, frame(0, 0, 1440, 900), frame(1000, 0, 441, 100)); },
                         Kind::usableAreaOutsideScreen}),
    [](const auto& info) { return info.param.name; });

TEST(Points, ZerosCompareAndHashAlike) {
    EXPECT_EQ(Points(0.0), Points(-0.0));
    EXPECT_EQ(std::hash<Points>{}(Points(-0.0)), std::hash<Points>{}(Points(0.0)));
    const std::unordered_set<Points> set{Points(0.0), Points(-0.0), Points(1.0)};
    EXPECT_EQ(set.size(), 2u);
    EXPECT_NE(Points(1.0), Points(std::nextafter(1.0, 2.0)));
}

TEST(GeometryError, EqualByKindAndRepeatedScreen) {
    EXPECT_EQ(GeometryError::duplicate(ScreenID{2}), GeometryError::duplicate(ScreenID{2}));
    EXPECT_NE(GeometryError::duplicate(ScreenID{2}), GeometryError::duplicate(ScreenID{3}));
    EXPECT_EQ(GeometryError{Kind::noScreens}, GeometryError{Kind::noScreens});
    EXPECT_NE(GeometryError{Kind::noScreens}, GeometryError{Kind::nonFinitePoints});
}

TEST(ScreenID, OrderedAsUnsigned) {
    EXPECT_LT(ScreenID{1}, ScreenID{0x80000000u});
    EXPECT_LT(ScreenID{3}, ScreenID{5});
}

struct FlipCase {
    DesktopFrame desktop;
    double primaryTop;
    BottomLeftFrame bottomLeft;
};

void PrintTo(const FlipCase& c, std::ostream* os) {
    PrintTo(c.desktop, os);
    *os << " top " << c.primaryTop;
}

class CoordinateFlip : public testing::TestWithParam<FlipCase> {};

// The values are exactly representable, so the round trip must be exact.
TEST_P(CoordinateFlip, ConvertsBothWaysAndBack) {
    const auto& c = GetParam();
    const Points top(c.primaryTop);
    EXPECT_EQ(c.desktop.bottomLeftFrame(top), c.bottomLeft);
    EXPECT_EQ(c.bottomLeft.desktopFrame(top), c.desktop);
    EXPECT_EQ(c.desktop.bottomLeftFrame(top).desktopFrame(top), c.desktop);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CoordinateFlip,
    testing::Values(FlipCase{frame(0, 0, 1920, 1080), 1080, {Points(0), Points(0), size(1920, 1080)}},
                    FlipCase{frame(10, 20, 300, 200), 1080, {Points(10), Points(860), size(300, 200)}},
                    // A screen above the primary one has a negative desktop y.
                    FlipCase{
                        frame(-1280, -1024, 1280, 1024), 900, {Points(-1280), Points(900), size(1280, 1024)}},
                    FlipCase{frame(100.5, 40.25, 640.75, 480.5),
                             1117.5,
                             {Points(100.5), Points(596.75), size(640.75, 480.5)}}));

TEST(CoordinateFlip, RefusesUnrepresentableResults) {
    const auto toBottomLeft =
        thrownGeometryError([] { (void)frame(0, -1.7e308, 10, 1e300).bottomLeftFrame(Points(1.7e308)); });
    EXPECT_EQ(toBottomLeft, GeometryError{Kind::nonFinitePoints});

    const BottomLeftFrame lowered{Points(0), Points(-largest), size(10, 10)};
    EXPECT_EQ(thrownGeometryError([&] { (void)lowered.desktopFrame(Points(largest)); }),
              GeometryError{Kind::nonFinitePoints});

    // The flipped y is finite but too large for a 1-point height to move the far edge.
    const BottomLeftFrame far{Points(0), Points(-1e20), size(10, 1)};
    EXPECT_EQ(thrownGeometryError([&] { (void)far.desktopFrame(Points(0)); }),
              GeometryError{Kind::unrepresentableGeometry});
}

} // namespace
} // namespace tidewright
