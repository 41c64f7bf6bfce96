#include "DisplayLayout.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace platform::x11 {
inline void PrintTo(const PixelRect& r, std::ostream* out) {
    *out << '(' << r.x << ", " << r.y << ") " << r.width << " x " << r.height;
}
} // namespace platform::x11

namespace platform {
inline void PrintTo(const ScreenRect& r, std::ostream* out) {
    *out << '(' << r.x << ", " << r.y << ") " << r.width << " x " << r.height;
}
} // namespace platform

namespace platform::screens {
namespace {

using x11::PixelRect;

constexpr std::uint32_t huge = std::numeric_limits<std::uint32_t>::max();

// Two monitors side by side under a 3840 x 1200 root: a tall one on the left and a shorter one on
// the right, flush with the top.
const x11::PixelSize root{3840, 1200};
const PixelRect left{0, 0, 1920, 1200};
const PixelRect right{1920, 0, 1920, 1080};

Strut bottom(std::uint32_t width, std::uint32_t startX, std::uint32_t endX) {
    return Strut{.bottom = width, .bottomStartX = startX, .bottomEndX = endX};
}
Strut leftSide(std::uint32_t width, std::uint32_t startY, std::uint32_t endY) {
    return Strut{.left = width, .leftStartY = startY, .leftEndY = endY};
}
Strut rightSide(std::uint32_t width, std::uint32_t startY, std::uint32_t endY) {
    return Strut{.right = width, .rightStartY = startY, .rightEndY = endY};
}
Strut topSide(std::uint32_t width, std::uint32_t startX, std::uint32_t endX) {
    return Strut{.top = width, .topStartX = startX, .topEndX = endX};
}
// The old form: along the whole edge.
Strut wholeEdges(std::uint32_t l, std::uint32_t r, std::uint32_t t, std::uint32_t b) {
    return *strutOf({}, {l, r, t, b});
}

struct AreaCase {
    std::string name;
    std::vector<Strut> struts;
    PixelRect expectedLeft;
    PixelRect expectedRight;
};

class VisibleAreaCases : public ::testing::TestWithParam<AreaCase> {};

TEST_P(VisibleAreaCases, OnlyTheStrutsAlongAMonitorShrinkIt) {
    const AreaCase& c = GetParam();
    EXPECT_EQ(visibleArea(left, root, c.struts), c.expectedLeft);
    EXPECT_EQ(visibleArea(right, root, c.struts), c.expectedRight);
}

INSTANTIATE_TEST_SUITE_P(
    DisplayLayout, VisibleAreaCases,
    ::testing::Values(
        AreaCase{"NoStruts", {}, left, right},
        // A 30-pixel panel at the bottom of the shorter monitor reaches 150 up from the root's edge.
        AreaCase{"APanelAlongTheShorterMonitor", {bottom(150, 1920, 3839)}, left, {1920, 0, 1920, 1050}},
        // Along the whole bottom edge, but it ends below the shorter monitor.
        AreaCase{
            "AWholeEdgeStrutBelowTheShorterMonitor", {wholeEdges(0, 0, 0, 30)}, {0, 0, 1920, 1170}, right},
        AreaCase{
            "ARangeEndingOnTheLastColumnOfTheLeftMonitor", {bottom(150, 0, 1919)}, {0, 0, 1920, 1050}, right},
        AreaCase{"ARangeReachingOneColumnIntoTheRightMonitor",
                 {bottom(150, 0, 1920)},
                 {0, 0, 1920, 1050},
                 {1920, 0, 1920, 1050}},
        // A left panel on the right monitor covers the whole left monitor: it lies along the right one only.
        AreaCase{"ALeftPanelOnTheRightMonitor", {leftSide(1970, 0, 1079)}, left, {1970, 0, 1870, 1080}},
        AreaCase{"ARightPanel", {rightSide(60, 0, 1199)}, left, {1920, 0, 1860, 1080}},
        AreaCase{"ATopPanelOnTheLeftMonitor", {topSide(25, 0, 1919)}, {0, 25, 1920, 1175}, right},
        AreaCase{"TheWidestStrutOfASideWins",
                 {bottom(150, 1920, 3839), bottom(200, 2000, 2100), bottom(100, 1920, 3839)},
                 left,
                 {1920, 0, 1920, 1000}},
        AreaCase{"StrutsOnEverySide",
                 {wholeEdges(20, 30, 40, 0), bottom(170, 1920, 3839)},
                 {20, 40, 1900, 1160},
                 {1920, 40, 1890, 990}},
        // What any window may write: none of it leaves a monitor or empties it.
        AreaCase{"AZeroWidthReservesNothing", {leftSide(0, 0, huge), rightSide(0, 0, huge)}, left, right},
        AreaCase{"ARangeThatEndsBeforeItStarts", {bottom(150, 3000, 2000)}, left, right},
        AreaCase{
            "AStrutAcrossTheWholeMonitor", {leftSide(5000, 0, huge), topSide(1200, 0, huge)}, left, right},
        AreaCase{"TheLargestValues",
                 {Strut{huge, huge, huge, huge, 0, huge, 0, huge, 0, huge, 0, huge}},
                 left,
                 right},
        AreaCase{"ARangeFarOffEveryMonitor", {bottom(150, 100000, huge)}, left, right},
        AreaCase{"OppositeStrutsThatCross",
                 {leftSide(1000, 0, 1199), rightSide(2940, 0, 1199), topSide(30, 0, 1919)},
                 {0, 30, 1920, 1170},
                 right},
        AreaCase{"OppositeStrutsThatMeet", {leftSide(1000, 0, 1199), rightSide(2840, 0, 1199)}, left, right}),
    [](const auto& info) { return info.param.name; });

TEST(DisplayLayout, AMonitorAwayFromTheRootsCornerCountsFromTheRootsEdges) {
    // 100 pixels down from the root's top, 400 short of its right edge.
    const PixelRect monitor{1920, 100, 1520, 900};
    EXPECT_EQ(visibleArea(monitor, root, std::vector{topSide(130, 1920, 3439)}),
              (PixelRect{1920, 130, 1520, 870}));
    EXPECT_EQ(visibleArea(monitor, root, std::vector{topSide(100, 1920, 3439)}), monitor);
    EXPECT_EQ(visibleArea(monitor, root, std::vector{rightSide(450, 100, 999)}),
              (PixelRect{1920, 100, 1470, 900}));
    EXPECT_EQ(visibleArea(monitor, root, std::vector{rightSide(450, 0, 99)}), monitor);
}

TEST(DisplayLayout, ThePartialStrutWinsOverTheWholeEdgeOne) {
    const std::vector<std::uint32_t> partial{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const std::vector<std::uint32_t> full{20, 30, 40, 50};
    EXPECT_EQ(strutOf(partial, full), (Strut{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    EXPECT_EQ(strutOf({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}, full),
              (Strut{20, 30, 40, 50, 0, huge, 0, huge, 0, huge, 0, huge}));
    EXPECT_EQ(strutOf({}, {20, 30, 40}), std::nullopt);
}

// The window manager's own panels reserve their space through the work area alone. Two monitors
// of the same height side by side under a 3840 x 1080 root, so one work area's bottom edge lies
// along both; the struts leave the monitors whole unless a case says otherwise.
struct WorkAreaCase {
    std::string name;
    std::optional<PixelRect> workArea;
    std::vector<PixelRect> panels;
    std::vector<Strut> struts;
    PixelRect expectedLeft;
    PixelRect expectedRight;
};

class UsableAreaCases : public ::testing::TestWithParam<WorkAreaCase> {};

TEST_P(UsableAreaCases, TheWorkAreaShrinksOnlyTheMonitorsItsPanelsLieAlong) {
    const WorkAreaCase& c = GetParam();
    const x11::PixelSize wide{3840, 1080};
    const PixelRect first{0, 0, 1920, 1080};
    const PixelRect second{1920, 0, 1920, 1080};
    EXPECT_EQ(usableArea(first, visibleArea(first, wide, c.struts), c.workArea, c.panels), c.expectedLeft);
    EXPECT_EQ(usableArea(second, visibleArea(second, wide, c.struts), c.workArea, c.panels), c.expectedRight);
}

INSTANTIATE_TEST_SUITE_P(
    DisplayLayout, UsableAreaCases,
    ::testing::Values(
        WorkAreaCase{"NoWorkArea", std::nullopt, {{0, 1060, 1920, 20}}, {}, {0, 0, 1920, 1080}, {1920, 0, 1920, 1080}},
        WorkAreaCase{"TheWholeRoot", PixelRect{0, 0, 3840, 1080}, {}, {}, {0, 0, 1920, 1080}, {1920, 0, 1920, 1080}},
        // fluxbox's toolbar along the bottom of the left monitor: the right one keeps its height.
        WorkAreaCase{"AToolbarOnTheLeftMonitor",
                     PixelRect{0, 0, 3840, 1060},
                     {{0, 1060, 1920, 20}},
                     {},
                     {0, 0, 1920, 1060},
                     {1920, 0, 1920, 1080}},
        WorkAreaCase{"ATaskbarAcrossBoth",
                     PixelRect{0, 0, 3840, 1054},
                     {{0, 1054, 3840, 26}},
                     {},
                     {0, 0, 1920, 1054},
                     {1920, 0, 1920, 1054}},
        WorkAreaCase{"APanelAtTheTopOfTheRightMonitor",
                     PixelRect{0, 24, 3840, 1056},
                     {{1920, 0, 1920, 24}},
                     {},
                     {0, 0, 1920, 1080},
                     {1920, 24, 1920, 1056}},
        WorkAreaCase{"APanelAlongTheLeftEdge",
                     PixelRect{48, 0, 3792, 1080},
                     {{0, 0, 48, 1080}},
                     {},
                     {48, 0, 1872, 1080},
                     {1920, 0, 1920, 1080}},
        WorkAreaCase{"APanelAlongTheRightEdge",
                     PixelRect{0, 0, 3790, 1080},
                     {{3790, 100, 50, 600}},
                     {},
                     {0, 0, 1920, 1080},
                     {1920, 0, 1870, 1080}},
        // A work area that the struts explain already reserves nothing more.
        WorkAreaCase{"WhatTheStrutsReserveAlready",
                     PixelRect{0, 0, 3840, 1040},
                     {{0, 1060, 1920, 20}},
                     {bottom(40, 0, 3839)},
                     {0, 0, 1920, 1040},
                     {1920, 0, 1920, 1040}},
        WorkAreaCase{"MoreThanTheStrutsOnOneMonitor",
                     PixelRect{0, 0, 3840, 1020},
                     {{0, 1020, 1920, 20}},
                     {bottom(40, 0, 3839)},
                     {0, 0, 1920, 1020},
                     {1920, 0, 1920, 1040}},
        // Windows that are no panel of that strip: nothing shows there, or something reaches out of it.
        WorkAreaCase{"NoPanel", PixelRect{0, 0, 3840, 1060}, {}, {}, {0, 0, 1920, 1080}, {1920, 0, 1920, 1080}},
        WorkAreaCase{"AMenuReachingOutOfTheStrip",
                     PixelRect{0, 0, 3840, 1060},
                     {{400, 700, 300, 380}},
                     {},
                     {0, 0, 1920, 1080},
                     {1920, 0, 1920, 1080}},
        WorkAreaCase{"APanelOffEveryMonitor",
                     PixelRect{0, 0, 3840, 1060},
                     {{5000, 1060, 100, 20}},
                     {},
                     {0, 0, 1920, 1080},
                     {1920, 0, 1920, 1080}},
        // An edge on or beyond a monitor's side reserves nothing of it.
        WorkAreaCase{"AnEdgeOnTheMonitorsSide",
                     PixelRect{1920, 0, 1920, 1080},
                     {{0, 0, 1920, 1080}},
                     {},
                     {0, 0, 1920, 1080},
                     {1920, 0, 1920, 1080}}),
    [](const auto& info) { return info.param.name; });

TEST(DisplayLayout, TheWorkAreaIsTheCurrentDesktopsAndOnlyARealRectangle) {
    const std::vector<std::uint32_t> two{0, 0, 1920, 1060, 0, 20, 1920, 1060};
    EXPECT_EQ(workAreaOf(two, {}), (PixelRect{0, 0, 1920, 1060}));
    EXPECT_EQ(workAreaOf(two, {1}), (PixelRect{0, 20, 1920, 1060}));
    EXPECT_EQ(workAreaOf(two, {2}), std::nullopt);
    EXPECT_EQ(workAreaOf({0, 0, 1920}, {}), std::nullopt);
    EXPECT_EQ(workAreaOf({0, 0, 0, 1060}, {}), std::nullopt);
    EXPECT_EQ(workAreaOf({huge, 0, 1920, 1060}, {}), std::nullopt);
    EXPECT_EQ(workAreaOf({0, 0, 1920, huge}, {}), std::nullopt);
}

TEST(DisplayLayout, ThePanelsAreReadOnlyWhenTheWorkAreaReservesMoreThanTheStruts) {
    DisplayReading reading{.root = 1, .rootSize = {1920, 1080}, .struts = {bottom(40, 0, 1919)}};
    EXPECT_FALSE(workAreaReservesMore(reading));
    reading.workArea = PixelRect{0, 0, 1920, 1040};
    EXPECT_FALSE(workAreaReservesMore(reading));
    reading.workArea = PixelRect{0, 0, 1920, 1020};
    EXPECT_TRUE(workAreaReservesMore(reading));
    reading.panels = {{0, 1020, 1920, 20}};
    EXPECT_EQ(screensOf(reading).at(0).visibleFrame, (ScreenRect{0, 60, 1920, 1020}));
}

Screen screenOf(std::uint32_t number, ScreenRect frame, ScreenRect visible) {
    return {frame, visible, {{screenNumberKey, number}}};
}

TEST(DisplayLayout, ThePrimaryComesFirstAndTheOthersKeepTheServersOrder) {
    DisplayReading reading{.monitors = {{.name = 11, .primary = false, .area = {0, 0, 1000, 800}},
                                        {.name = 12, .primary = false, .area = {1000, 0, 1000, 800}},
                                        {.name = 13, .primary = true, .area = {2000, 0, 1000, 800}},
                                        {.name = 14, .primary = false, .area = {3000, 0, 1000, 800}}},
                           .root = 99,
                           .rootSize = {4000, 800}};
    std::vector<std::uint32_t> order;
    for (const Screen& screen : screensOf(reading))
        order.push_back(std::get<std::uint32_t>(screen.deviceDescription.at(screenNumberKey)));
    EXPECT_EQ(order, (std::vector<std::uint32_t>{13, 11, 12, 14}));

    reading.monitors[2].primary = false;
    order.clear();
    for (const Screen& screen : screensOf(reading))
        order.push_back(std::get<std::uint32_t>(screen.deviceDescription.at(screenNumberKey)));
    EXPECT_EQ(order, (std::vector<std::uint32_t>{11, 12, 13, 14}));
}

TEST(DisplayLayout, FramesAreShiftedToThePrimaryAndMeasuredUpFromItsBottom) {
    // The primary sits right of and 100 below the other monitor's top; a bottom panel of 40 on it.
    DisplayReading reading{.monitors = {{.name = 21, .primary = false, .area = {0, 0, 1920, 1200}},
                                        {.name = 22, .primary = true, .area = {1920, 100, 1600, 900}}},
                           .root = 99,
                           .rootSize = {3520, 1200},
                           .struts = {bottom(240, 1920, 3519)}};
    EXPECT_EQ(screensOf(reading),
              (std::vector{screenOf(22, {0, 0, 1600, 900}, {0, 40, 1600, 860}),
                           screenOf(21, {-1920, -200, 1920, 1200}, {-1920, -200, 1920, 1200})}));
}

TEST(DisplayLayout, WithoutMonitorsTheRootIsTheOneScreen) {
    DisplayReading reading{.root = 0x2a0, .rootSize = {1280, 1024}, .struts = {wholeEdges(0, 0, 24, 0)}};
    EXPECT_EQ(screensOf(reading), (std::vector{screenOf(0x2a0, {0, 0, 1280, 1024}, {0, 0, 1280, 1000})}));
}

} // namespace
} // namespace platform::screens
