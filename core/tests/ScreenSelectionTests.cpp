#include "GeometryTestSupport.hpp"
#include "tidewright/core/ScreenSelection.hpp"

#include <cstdint>
#include <gtest/gtest.h>
#include <limits>
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
    if (const auto* id = std::get_if<std::uint32_t>(&c.expected)) {
        const ScreenGeometry chosen = ScreenSelection::select(c.window, c.screens);
        EXPECT_EQ(chosen.id(), ScreenID{*id});
        // The whole screen comes back, usable area included.
        for (const auto& s : c.screens) {
            if (s.id() == chosen.id()) {
                EXPECT_EQ(chosen, s);
            }
        }
    } else {
        EXPECT_EQ(thrownGeometryError([&] { (void)ScreenSelection::select(c.window, c.screens); }),
                  std::get<GeometryError>(c.expected));
    }
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
        SelectionCase{"singleScreenFarAway", frame(-50000, -50000, 10, 10), {screen(8, left)}, 8u},
        SelectionCase{"distanceOverflows",
                      frame(-1.7e308, 0, 1e300, 1),
                      {screen(1, frame(1.7e308, 0, 1e300, 1))},
                      GeometryError{Kind::unrepresentableGeometry}}),
    [](const auto& info) { return info.param.name; });

} // namespace
} // namespace tidewright
