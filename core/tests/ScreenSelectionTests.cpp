#include "GeometryTestSupport.hpp"
#include "tidewright/core/ScreenSelection.hpp"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
#include <random>
#include <string>
#include <variant>
#include <vector>

namespace tidewright {
namespace {

using Kind = GeometryError::Kind;

struct SelectionCase {
    std::string name;
    DesktopFrame window;
    std::vector<ScreenGeometry> screens;
    std::variant<std::uint32_t, GeometryError> expected;
};

void PrintTo(const SelectionCase& c, std::ostream* os) {
    *os << c.name;
}

class Selection : public testing::TestWithParam<SelectionCase> {};

TEST_P(Selection, ChoosesTheScreenOrRefuses) {
    const auto& c = GetParam();
    expectOutcome(c.expected, [&] {
        const ScreenGeometry chosen = ScreenSelection::select(c.window, c.screens);
        // The whole screen comes back, usable area included.
        for (const auto& s : c.screens) {
            if (s.id() == chosen.id()) {
                EXPECT_EQ(chosen, s);
            }
        }
        return chosen.id().rawValue;
    });
}

// Two screens side by side, 1000 wide: 3 on the left, 5 on the right.
const DesktopFrame left = frame(0, 0, 1000, 800);
const DesktopFrame right = frame(1000, 0, 1000, 800);

INSTANTIATE_TEST_SUITE_P(
    Cases, Selection,
    testing::Values(
        SelectionCase{"noScreens", frame(0, 0, 10, 10), {}, GeometryError{Kind::noScreens}},
        SelectionCase{"duplicateBeforeGeometry",
                      frame(0, 0, 10, 10),
                      {screen(2, right), screen(1, left), screen(2, frame(3000, 0, 10, 10))},
                      GeometryError::duplicate(ScreenID{2})},
        SelectionCase{"firstRepeatedIdIsReported",
                      frame(0, 0, 10, 10),
                      {screen(7, left), screen(4, right), screen(4, left), screen(7, right)},
                      GeometryError::duplicate(ScreenID{4})},
        SelectionCase{"largestOverlapWins", frame(900, 0, 300, 10), {screen(3, left), screen(5, right)}, 5u},
        // 10 x 10 on each side: equal areas go to the lower id, whatever the order.
        SelectionCase{"equalOverlapLowerId", frame(990, 0, 20, 10), {screen(5, right), screen(3, left)}, 3u},
        SelectionCase{
            "equalOverlapLowerIdOtherOrder", frame(990, 0, 20, 10), {screen(3, left), screen(5, right)}, 3u},
        SelectionCase{
            "oneMoreSquarePointWins", frame(990, 0, 20.1, 10), {screen(5, right), screen(3, left)}, 5u},
        SelectionCase{"overlapUsesWholeFrameNotUsableArea",
                      frame(900, 0, 300, 10),
                      {screen(3, left), screen(5, right, frame(1500, 0, 500, 800))},
                      5u},
        SelectionCase{
            "offScreenNearestCentre", frame(2500, 100, 100, 100), {screen(3, left), screen(5, right)}, 5u},
        SelectionCase{"offScreenEquidistantLowerId",
                      frame(950, 900, 100, 100),
                      {screen(5, right), screen(3, left)},
                      3u},
        // Touching screen 5 along its left edge and screen 9 along its top is no overlap; the centre is
        // nearer screen 9.
        SelectionCase{"edgeContactIsNoOverlap",
                      frame(1900, 960, 100, 40),
                      {screen(5, frame(2000, 0, 100, 2000)), screen(9, frame(0, 1000, 1950, 100))},
                      9u},
        // The centre is 975 below screen 3 and (375, 900) from a corner of screen 5: as far from both.
        SelectionCase{"offScreenEquidistantAtAnAngleLowerId",
                      frame(0, 0, 100, 100),
                      {screen(5, frame(425, -950, 100, 100)), screen(3, frame(0, -1025, 100, 100))},
                      3u},
        SelectionCase{"singleScreenFarAway", frame(-50000, -50000, 10, 10), {screen(8, left)}, 8u},
        SelectionCase{"distanceOverflows",
                      frame(-1.7e308, 0, 1e300, 1),
                      {screen(1, frame(1.7e308, 0, 1e300, 1))},
                      GeometryError{Kind::unrepresentableGeometry}}),
    [](const auto& info) { return info.param.name; });

// Screens and windows on a coarse grid, so that equal overlaps and equal distances are common: the
// choice must not depend on the order of the list, and it must be the screen the rules name.
TEST(SelectionProperties, ChoiceIsTheRulesAndIndependentOfListOrder) {
    std::mt19937_64 random{20260518};
    std::uniform_int_distribution<int> cell(-20, 20);
    std::uniform_int_distribution<int> extent(1, 10);
    const auto overlap = [](const DesktopFrame& a, const DesktopFrame& b) {
        const double w = std::max(std::min(a.maxX(), b.maxX()) - std::max(a.minX(), b.minX()), 0.0);
        const double h = std::max(std::min(a.maxY(), b.maxY()) - std::max(a.minY(), b.minY()), 0.0);
        return w * h;
    };
    const auto squaredDistance = [](const DesktopFrame& w, const DesktopFrame& f) {
        const double cx = w.minX() + w.size().width().value() / 2;
        const double cy = w.minY() + w.size().height().value() / 2;
        const double dx = std::max({f.minX() - cx, cx - f.maxX(), 0.0});
        const double dy = std::max({f.minY() - cy, cy - f.maxY(), 0.0});
        // Exact on this grid, so equal distances compare equal here.
        return dx * dx + dy * dy;
    };
    for (int round = 0; round < 3000; ++round) {
        std::vector<ScreenGeometry> screens;
        const int count = 1 + round % 4;
        for (int i = 0; i < count; ++i) {
            screens.push_back(screen(
                static_cast<std::uint32_t>((i * 7) % 5 + i),
                frame(cell(random) * 100, cell(random) * 100, extent(random) * 100, extent(random) * 100)));
        }
        const DesktopFrame window =
            frame(cell(random) * 50, cell(random) * 50, extent(random) * 50, extent(random) * 50);
        SCOPED_TRACE(testing::Message() << "round " << round);

        const ScreenID chosen = ScreenSelection::select(window, screens).id();
        const auto& winner = *std::find_if(screens.begin(), screens.end(),
                                           [&](const ScreenGeometry& s) { return s.id() == chosen; });
        const double bestOverlap = overlap(window, winner.frame());
        for (const auto& other : screens) {
            const double o = overlap(window, other.frame());
            EXPECT_TRUE(o < bestOverlap || (o == bestOverlap && chosen <= other.id()) ||
                        (bestOverlap == 0 && o == 0))
                << "screen " << other.id().rawValue << " overlaps more";
            if (bestOverlap == 0) {
                const double d = squaredDistance(window, other.frame());
                const double bestDistance = squaredDistance(window, winner.frame());
                EXPECT_TRUE(bestDistance < d || (bestDistance == d && chosen <= other.id()))
                    << "screen " << other.id().rawValue << " is nearer";
            }
        }

        std::shuffle(screens.begin(), screens.end(), random);
        EXPECT_EQ(ScreenSelection::select(window, screens).id(), chosen);
    }
}

} // namespace
} // namespace tidewright
