#include "GeometryTestSupport.hpp"
#include "tidewright/core/ScreenSelection.hpp"
#include "tidewright/core/WindowPlacement.hpp"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace tidewright {
namespace {

using Kind = GeometryError::Kind;
using Action = WindowAction;
constexpr auto continuous = PlacementOriginAlignment::continuous;
constexpr auto wholePoints = PlacementOriginAlignment::wholePoints;

const SizeCapabilities unconstrained = SizeCapabilities::resizable(SizeLimits(size(1, 1)));
const SizeCapabilities unknown = SizeCapabilities::unknown();

PlacementVisibility visible() {
    return PlacementVisibility::fullyVisible();
}

PlacementVisibility overflowing(double horizontal, double vertical) {
    return PlacementVisibility::cannotFit({Points(horizontal), Points(vertical)});
}

// A 1000 by 800 usable area at (0, 25) under a 25-point bar.
const ScreenGeometry desk = screen(1, frame(0, 0, 1000, 825), frame(0, 25, 1000, 800));
// A 1440-wide screen with its usable area at (0, 25), and a second one to its right.
const ScreenGeometry wide = screen(1, frame(0, 0, 1440, 900), frame(0, 25, 1440, 875));
const ScreenGeometry second = screen(2, frame(1440, -100, 1280, 1024), frame(1440, -100, 1280, 1000));

// Whole-point edge cases: fractional usable edges.
const ScreenGeometry fractional = screen(4, frame(0, 0, 1100, 1100), frame(1, 0, 1023.6, 1023.6));
const ScreenGeometry narrow = screen(5, frame(0, 0, 200, 200), frame(0.4, 0, 100.2, 200));
const ScreenGeometry shifted = screen(6, frame(-21, 0, 1000, 825), frame(-21, 25, 1000, 800));
const ScreenGeometry offset = screen(7, frame(0, 0, 1100, 900), frame(0.2, 25, 1000.6, 800));

struct PlanCase {
    std::string name;
    Action action;
    DesktopFrame window;
    std::vector<ScreenGeometry> screens;
    SizeCapabilities capabilities;
    PlacementOriginAlignment alignment;
    std::variant<Placement, GeometryError> expected;
};

void PrintTo(const PlanCase& c, std::ostream* os) {
    *os << c.name;
}

class Planning : public testing::TestWithParam<PlanCase> {};

TEST_P(Planning, PlacesTheWindowOrRefuses) {
    const auto& c = GetParam();
    expectOutcome(c.expected, [&] {
        const PlacementPlan plan =
            WindowPlacement::plan(c.action, c.window, c.screens, c.capabilities, c.alignment);
        EXPECT_EQ(plan.action, c.action);
        EXPECT_EQ(plan.screen.id(), plan.requested.screenID);
        EXPECT_EQ(plan.original, c.window);
        EXPECT_EQ(plan.originAlignment, c.alignment);
        return plan.requested;
    });
}

INSTANTIATE_TEST_SUITE_P(
    Actions, Planning,
    testing::Values(
        PlanCase{"leftHalf",
                 Action::leftHalf,
                 frame(100, 100, 400, 300),
                 {wide},
                 unconstrained,
                 wholePoints,
                 Placement{ScreenID{1}, frame(0, 25, 720, 875), SizeAdjustment::none, visible()}},
        PlanCase{"rightHalf",
                 Action::rightHalf,
                 frame(100, 100, 400, 300),
                 {wide},
                 unconstrained,
                 wholePoints,
                 Placement{ScreenID{1}, frame(720, 25, 720, 875), SizeAdjustment::none, visible()}},
        PlanCase{"maximize",
                 Action::maximize,
                 frame(100, 100, 400, 300),
                 {desk},
                 unknown,
                 wholePoints,
                 Placement{ScreenID{1}, frame(0, 25, 1000, 800), SizeAdjustment::none, visible()}},
        PlanCase{"nearlyMaximize",
                 Action::nearlyMaximize,
                 frame(100, 100, 400, 300),
                 {desk},
                 unknown,
                 continuous,
                 Placement{ScreenID{1}, frame(50, 65, 900, 720), SizeAdjustment::none, visible()}},
        PlanCase{"centerKeepsAFittingSize",
                 Action::center,
                 frame(10, 30, 400, 300),
                 {desk},
                 unknown,
                 wholePoints,
                 Placement{ScreenID{1}, frame(300, 275, 400, 300), SizeAdjustment::none, visible()}},
        PlanCase{"centerReducesAWideWindow",
                 Action::center,
                 frame(0, 100, 1200, 300),
                 {desk},
                 unknown,
                 wholePoints,
                 Placement{ScreenID{1}, frame(0, 275, 1000, 300), SizeAdjustment::reducedToFitUsableArea,
                           visible()}},
        PlanCase{"maximumHeightKeepsAFractionalX",
                 Action::maximumHeight,
                 frame(100.25, 300, 500, 200),
                 {desk},
                 unconstrained,
                 wholePoints,
                 Placement{ScreenID{1}, frame(100.25, 25, 500, 800), SizeAdjustment::none, visible()}},
        PlanCase{"maximumHeightMovesInFromTheLeft",
                 Action::maximumHeight,
                 frame(-40, 300, 500, 200),
                 {desk},
                 unconstrained,
                 wholePoints,
                 Placement{ScreenID{1}, frame(0, 25, 500, 800), SizeAdjustment::none, visible()}},
        PlanCase{"maximumHeightMovesInFromTheRight",
                 Action::maximumHeight,
                 frame(700.5, 300, 500, 200),
                 {desk},
                 unconstrained,
                 continuous,
                 Placement{ScreenID{1}, frame(500, 25, 500, 800), SizeAdjustment::none, visible()}},
        PlanCase{"maximumHeightCentresAReducedWindow",
                 Action::maximumHeight,
                 frame(-100, 300, 1200, 200),
                 {desk},
                 unconstrained,
                 wholePoints,
                 Placement{ScreenID{1}, frame(0, 25, 1000, 800), SizeAdjustment::reducedToFitUsableArea,
                           visible()}},
        PlanCase{"theWindowsOwnScreen",
                 Action::leftHalf,
                 frame(1500, 0, 600, 400),
                 {wide, second},
                 unconstrained,
                 wholePoints,
                 Placement{ScreenID{2}, frame(1440, -100, 640, 1000), SizeAdjustment::none, visible()}}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Capabilities, Planning,
    testing::Values(PlanCase{"fixedTooLargeIsCentredWithOverflow",
                             Action::maximize,
                             frame(0, 25, 1200, 900),
                             {desk},
                             SizeCapabilities::fixed(size(1200, 900)),
                             continuous,
                             Placement{ScreenID{1}, frame(-100, -25, 1200, 900),
                                       SizeAdjustment::knownConstraint, overflowing(200, 100)}},
                    // Wider than the area: rounded (-10.5 up to -10) but not clamped.
                    PlanCase{"fixedTooWideIsRoundedNotClamped",
                             Action::center,
                             frame(0, 25, 1021, 300),
                             {desk},
                             SizeCapabilities::fixed(size(1021, 300)),
                             wholePoints,
                             Placement{ScreenID{1}, frame(-10, 275, 1021, 300),
                                       SizeAdjustment::knownConstraint, overflowing(21, 0)}},
                    PlanCase{"minimumAboveTheArea",
                             Action::maximize,
                             frame(0, 25, 400, 300),
                             {desk},
                             SizeCapabilities::resizable(SizeLimits(size(1200, 100))),
                             continuous,
                             Placement{ScreenID{1}, frame(-100, 25, 1200, 800),
                                       SizeAdjustment::knownConstraint, overflowing(200, 0)}},
                    PlanCase{"maximumBelowTheTarget",
                             Action::maximize,
                             frame(0, 25, 400, 300),
                             {desk},
                             SizeCapabilities::resizable(SizeLimits(size(100, 100), size(600, 400))),
                             wholePoints,
                             Placement{ScreenID{1}, frame(200, 225, 600, 400),
                                       SizeAdjustment::knownConstraint, visible()}},
                    PlanCase{
                        "fixedAtTheTargetSize",
                        Action::leftHalf,
                        frame(0, 25, 720, 875),
                        {wide},
                        SizeCapabilities::fixed(size(720, 875)),
                        wholePoints,
                        Placement{ScreenID{1}, frame(0, 25, 720, 875), SizeAdjustment::none, visible()}}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    WholePoints, Planning,
    testing::Values(
        PlanCase{"halfRoundsUp",
                 Action::center,
                 frame(0, 100, 979, 300),
                 {desk},
                 unknown,
                 wholePoints,
                 Placement{ScreenID{1}, frame(11, 275, 979, 300), SizeAdjustment::none, visible()}},
        PlanCase{"negativeHalfRoundsUp",
                 Action::center,
                 frame(0, 100, 979, 300),
                 {shifted},
                 unknown,
                 wholePoints,
                 Placement{ScreenID{6}, frame(-10, 275, 979, 300), SizeAdjustment::none, visible()}},
        PlanCase{"continuousKeepsTheHalf",
                 Action::center,
                 frame(0, 100, 979, 300),
                 {desk},
                 unknown,
                 continuous,
                 Placement{ScreenID{1}, frame(10.5, 275, 979, 300), SizeAdjustment::none, visible()}},
        // The right edge lands at 1000.8: x 500.5 rounds to 501 and is pulled back to 500.
        PlanCase{"roundingPastTheFarEdgeIsPulledBack",
                 Action::rightHalf,
                 frame(0, 100, 400, 300),
                 {offset},
                 unknown,
                 wholePoints,
                 Placement{ScreenID{7}, frame(500, 25, 500.3, 800), SizeAdjustment::none, visible()}},
        // A size that fills a fractional extent from a whole-point edge has exactly one origin.
        PlanCase{"maximizeFillsAFractionalArea",
                 Action::maximize,
                 frame(10, 10, 300, 300),
                 {fractional},
                 unknown,
                 wholePoints,
                 Placement{ScreenID{4}, frame(1, 0, 1023.6, 1023.6), SizeAdjustment::none, visible()}},
        PlanCase{"maximumHeightFillsAFractionalArea",
                 Action::maximumHeight,
                 frame(10, 10, 1100, 300),
                 {fractional},
                 unknown,
                 wholePoints,
                 Placement{ScreenID{4}, frame(1, 0, 1023.6, 1023.6), SizeAdjustment::reducedToFitUsableArea,
                           visible()}},
        PlanCase{"noWholePointInsideTheArea",
                 Action::center,
                 frame(0.4, 0, 100.1, 50),
                 {narrow},
                 unknown,
                 wholePoints,
                 GeometryError{Kind::noAlignedOrigin}},
        PlanCase{"continuousNeedsNoWholePoint",
                 Action::center,
                 frame(0.4, 0, 100.1, 50),
                 {narrow},
                 unknown,
                 continuous,
                 Placement{ScreenID{5}, frame(0.4 + (100.2 - 100.1) * 0.5, 75, 100.1, 50),
                           SizeAdjustment::none, visible()}}),
    [](const auto& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Refusals, Planning,
    testing::Values(PlanCase{"noScreens",
                             Action::maximize,
                             frame(0, 0, 10, 10),
                             {},
                             unknown,
                             wholePoints,
                             GeometryError{Kind::noScreens}},
                    PlanCase{"duplicateScreens",
                             Action::maximize,
                             frame(0, 0, 10, 10),
                             {desk, desk},
                             unknown,
                             wholePoints,
                             GeometryError::duplicate(ScreenID{1})},
                    // Half of the smallest width rounds to 0.
                    PlanCase{"halfOfNothing",
                             Action::leftHalf,
                             frame(0, 0, 10, 10),
                             {screen(3, frame(0, 0, 5e-324, 1e300))},
                             unknown,
                             continuous,
                             GeometryError{Kind::nonPositiveSize}},
                    // The right-aligned origin of a fixed, huge window runs off the representable range.
                    PlanCase{"originOverflows",
                             Action::rightHalf,
                             frame(-1e308, 0, 1e300, 1),
                             {screen(3, frame(-1e308, 0, 1e300, 1))},
                             SizeCapabilities::fixed(size(1.7e308, 1)),
                             continuous,
                             GeometryError{Kind::nonFinitePoints}}),
    [](const auto& info) { return info.param.name; });

struct NeedsCase {
    std::string name;
    Action action;
    DesktopFrame window;
    bool needed;
};

void PrintTo(const NeedsCase& c, std::ostream* os) {
    *os << c.name;
}

class SizeCapabilitiesNeed : public testing::TestWithParam<NeedsCase> {};

TEST_P(SizeCapabilitiesNeed, OnlyWhenTheActionChangesTheSize) {
    const auto& c = GetParam();
    const std::vector<ScreenGeometry> screens{desk};
    EXPECT_EQ(WindowPlacement::needsSizeCapabilities(c.action, c.window, screens), c.needed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SizeCapabilitiesNeed,
    testing::Values(NeedsCase{"centerOfAFittingWindow", Action::center, frame(10, 30, 400, 300), false},
                    NeedsCase{"centerOfATallWindow", Action::center, frame(10, 30, 400, 900), true},
                    NeedsCase{"maximizeAtTheUsableSize", Action::maximize, frame(0, 0, 1000, 800), false},
                    NeedsCase{"maximizeOneDimensionShort", Action::maximize, frame(0, 25, 1000, 799), true},
                    NeedsCase{"leftHalfAtHalfSize", Action::leftHalf, frame(300, 25, 500, 800), false},
                    NeedsCase{"maximumHeightAtFullHeight", Action::maximumHeight, frame(7, 25, 321, 800),
                              false},
                    NeedsCase{"maximumHeightShort", Action::maximumHeight, frame(7, 25, 321, 400), true},
                    NeedsCase{"nearlyMaximize", Action::nearlyMaximize, frame(0, 25, 1000, 800), true}),
    [](const auto& info) { return info.param.name; });

TEST(SizeCapabilitiesNeed, PassesSelectionErrorsOn) {
    const std::vector<ScreenGeometry> none;
    EXPECT_EQ(thrownGeometryError([&] {
                  (void)WindowPlacement::needsSizeCapabilities(Action::center, frame(0, 0, 1, 1), none);
              }),
              GeometryError{Kind::noScreens});
}

struct RefineCase {
    std::string name;
    PlanCase plan;
    WindowSize accepted;
    std::variant<Placement, GeometryError> expected;
};

void PrintTo(const RefineCase& c, std::ostream* os) {
    *os << c.name;
}

class Refinement : public testing::TestWithParam<RefineCase> {};

TEST_P(Refinement, PlacesTheAcceptedSizeOnThePlannedScreen) {
    const auto& c = GetParam();
    const auto& p = c.plan;
    const PlacementPlan plan =
        WindowPlacement::plan(p.action, p.window, p.screens, p.capabilities, p.alignment);
    expectOutcome(c.expected, [&] { return plan.refined(c.accepted); });
}

PlanCase planOf(Action action, DesktopFrame window, std::vector<ScreenGeometry> screens,
                SizeCapabilities capabilities = unconstrained,
                PlacementOriginAlignment alignment = wholePoints) {
    return {"", action, window, std::move(screens), capabilities, alignment, GeometryError{Kind::noScreens}};
}

// The usable area of `desk` shifted 0.4 to the right, 100.2 wide.
const ScreenGeometry narrowDesk = screen(8, frame(0, 0, 200, 825), frame(0.4, 25, 100.2, 800));

INSTANTIATE_TEST_SUITE_P(
    Cases, Refinement,
    testing::Values(
        RefineCase{
            "leftHalfNarrower", planOf(Action::leftHalf, frame(100, 100, 400, 300), {wide}), size(700, 875),
            Placement{ScreenID{1}, frame(0, 25, 700, 875), SizeAdjustment::acceptedDifferentSize, visible()}},
        RefineCase{"rightHalfNarrowerKeepsTheRightEdge",
                   planOf(Action::rightHalf, frame(100, 100, 400, 300), {wide}), size(700, 875),
                   Placement{ScreenID{1}, frame(740, 25, 700, 875), SizeAdjustment::acceptedDifferentSize,
                             visible()}},
        RefineCase{
            "plannedSizeCarriesTheAdjustmentOver",
            planOf(Action::maximize, frame(0, 25, 400, 300), {desk},
                   SizeCapabilities::resizable(SizeLimits(size(100, 100), size(600, 400)))),
            size(600, 400),
            Placement{ScreenID{1}, frame(200, 225, 600, 400), SizeAdjustment::knownConstraint, visible()}},
        RefineCase{"largerThanTheAreaIsCentredWithOverflow",
                   planOf(Action::maximize, frame(0, 25, 400, 300), {desk}), size(1200, 900),
                   Placement{ScreenID{1}, frame(-100, -25, 1200, 900), SizeAdjustment::acceptedDifferentSize,
                             overflowing(200, 100)}},
        // The same width as before the move: the original x stays, unrounded; y is aligned again.
        RefineCase{"maximumHeightKeepsTheOriginalX",
                   planOf(Action::maximumHeight, frame(100.25, 300, 500, 200), {desk},
                          SizeCapabilities::resizable(SizeLimits(size(100, 100), size(800, 600)))),
                   size(500, 701),
                   Placement{ScreenID{1}, frame(100.25, 75, 500, 701), SizeAdjustment::acceptedDifferentSize,
                             visible()}},
        RefineCase{"maximumHeightOfAnotherWidthIsCentred",
                   planOf(Action::maximumHeight, frame(100.25, 300, 500, 200), {desk}), size(600, 800),
                   Placement{ScreenID{1}, frame(200, 25, 600, 800), SizeAdjustment::acceptedDifferentSize,
                             visible()}},
        // A refined placement never selects the screen again, even for a size reaching across both.
        RefineCase{"theScreenIsNotSelectedAgain",
                   planOf(Action::leftHalf, frame(1000, 100, 400, 300), {wide, second}), size(3000, 875),
                   Placement{ScreenID{1}, frame(0, 25, 3000, 875), SizeAdjustment::acceptedDifferentSize,
                             overflowing(1560, 0)}},
        RefineCase{"noWholePointForTheAcceptedSize",
                   planOf(Action::center, frame(10, 30, 50, 50), {narrowDesk}), size(100.1, 50),
                   GeometryError{Kind::noAlignedOrigin}},
        RefineCase{"continuousPlanStaysContinuous",
                   planOf(Action::center, frame(10, 30, 50, 50), {narrowDesk}, unconstrained, continuous),
                   size(100.1, 50),
                   Placement{ScreenID{8}, frame(0.4 + (100.2 - 100.1) * 0.5, 400, 100.1, 50),
                             SizeAdjustment::acceptedDifferentSize, visible()}}),
    [](const auto& info) { return info.param.name; });

// Random screens with fractional, offset usable areas and random windows, actions and
// capabilities. Every coordinate is a multiple of 1/16 of moderate size, so the arithmetic is exact
// and any frame outside its usable area is a fault of the placement, not of rounding.
class PlacementProperties : public testing::Test {
protected:
    std::mt19937_64 random{20260517};

    double grid(double low, double high) {
        std::uniform_int_distribution<long> steps(static_cast<long>(low * 16), static_cast<long>(high * 16));
        return static_cast<double>(steps(random)) / 16;
    }

    // Half of the layouts have whole-point edges only, so that whole-point plans are exercised on
    // areas where every action fits as well as on fractional ones, where many have no aligned origin.
    std::vector<ScreenGeometry> screens() {
        const bool wholeEdges = std::uniform_int_distribution<int>(0, 1)(random) == 0;
        const auto edge = [&](double low, double high) {
            const double value = grid(low, high);
            return wholeEdges ? std::floor(value) : value;
        };
        std::vector<ScreenGeometry> list;
        const int count = std::uniform_int_distribution<int>(1, 3)(random);
        double left = edge(-3000, 0);
        for (int i = 0; i < count; ++i) {
            const double width = edge(200, 3000);
            const double top = edge(-1500, 1500);
            const double height = edge(200, 2000);
            const double insetX = edge(0, 30);
            const double insetY = edge(0, 60);
            list.push_back(screen(static_cast<std::uint32_t>(count - i), frame(left, top, width, height),
                                  frame(left + insetX, top + insetY, width - insetX - edge(0, 30),
                                        height - insetY - edge(0, 30))));
            left += width;
        }
        return list;
    }

    SizeCapabilities capabilities() {
        switch (std::uniform_int_distribution<int>(0, 3)(random)) {
        case 0:
            return SizeCapabilities::unknown();
        case 1:
            return SizeCapabilities::fixed(size(grid(50, 4000), grid(50, 3000)));
        case 2:
            return SizeCapabilities::resizable(SizeLimits(size(grid(1, 1500), grid(1, 1500))));
        default: {
            const WindowSize minimum = size(grid(1, 1000), grid(1, 1000));
            return SizeCapabilities::resizable(
                SizeLimits(minimum, size(minimum.width().value() + grid(0, 2000),
                                         minimum.height().value() + grid(0, 2000))));
        }
        }
    }
};

// Checks what every placement must satisfy on the usable area `usable`.
void expectSound(const Placement& placement, const DesktopFrame& usable, const DesktopFrame& original,
                 WindowAction action, PlacementOriginAlignment alignment) {
    const DesktopFrame& f = placement.frame;
    const double overX = std::max(f.size().width().value() - usable.size().width().value(), 0.0);
    const double overY = std::max(f.size().height().value() - usable.size().height().value(), 0.0);
    if (overX == 0 && overY == 0) {
        EXPECT_EQ(placement.visibility, PlacementVisibility::fullyVisible());
    } else {
        EXPECT_EQ(placement.visibility, PlacementVisibility::cannotFit({Points(overX), Points(overY)}));
    }
    if (overX == 0) {
        EXPECT_GE(f.minX(), usable.minX());
        EXPECT_LE(f.maxX(), usable.maxX());
    }
    if (overY == 0) {
        EXPECT_GE(f.minY(), usable.minY());
        EXPECT_LE(f.maxY(), usable.maxY());
    }
    if (alignment == PlacementOriginAlignment::wholePoints) {
        const bool keptX = action == WindowAction::maximumHeight && f.minX() == original.minX();
        EXPECT_TRUE(keptX || f.minX() == std::floor(f.minX())) << f.minX();
        EXPECT_EQ(f.minY(), std::floor(f.minY()));
    }
}

TEST_F(PlacementProperties, PlansAndRefinementsStayInsideWhenTheyFit) {
    for (int round = 0; round < 4000; ++round) {
        const std::vector<ScreenGeometry> list = screens();
        const DesktopFrame window =
            frame(grid(-4000, 4000), grid(-2000, 2000), grid(20, 3000), grid(20, 2000));
        const WindowAction action =
            allWindowActions[std::uniform_int_distribution<std::size_t>(0, 5)(random)];
        const SizeCapabilities caps = capabilities();
        const auto alignment = round % 2 == 0 ? wholePoints : continuous;
        SCOPED_TRACE(testing::Message() << "round " << round);

        const auto planned = [&] {
            return WindowPlacement::plan(action, window, list, caps, alignment);
        };
        if (const auto error = thrownGeometryError(planned)) {
            // A fractional area narrower than one point beyond the window is the only refusal here.
            EXPECT_EQ(error->kind, Kind::noAlignedOrigin);
            continue;
        }
        const PlacementPlan plan = planned();
        EXPECT_EQ(plan.screen, ScreenSelection::select(window, list));
        const DesktopFrame& usable = plan.screen.usableArea();
        expectSound(plan.requested, usable, window, action, alignment);
        EXPECT_EQ(plan.refined(plan.requested.frame.size()), plan.requested);

        const WindowSize accepted = size(grid(20, 3000), grid(20, 2000));
        if (const auto error = thrownGeometryError([&] { (void)plan.refined(accepted); })) {
            EXPECT_EQ(error->kind, Kind::noAlignedOrigin);
            continue;
        }
        const Placement refined = plan.refined(accepted);
        EXPECT_EQ(refined.screenID, plan.screen.id());
        EXPECT_EQ(refined.frame.size(), accepted);
        expectSound(refined, usable, window, action, alignment);
    }
}

} // namespace
} // namespace tidewright
