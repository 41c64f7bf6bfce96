#include "platform/screens/ScreenService.hpp"

#include "GeometryTestSupport.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <variant>
#include <vector>

namespace tidewright {
namespace {

using platform::DeviceDescription;
using platform::Screen;
using platform::ScreenRect;
using platform::ScreenService;
using Outcome = std::variant<std::vector<ScreenGeometry>, GeometryError>;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// A source that hands out what the test put in it, and counts how often it was read.
class ListedScreens final : public platform::ScreenSource {
public:
    std::vector<Screen> screens() override {
        ++reads;
        return list;
    }
    std::vector<Screen> list;
    int reads = 0;
};

DeviceDescription numbered(std::uint32_t number) {
    return {{platform::screenNumberKey, number}};
}

Screen platformScreen(std::uint32_t number, ScreenRect frame, ScreenRect visible) {
    return {frame, visible, numbered(number)};
}

Screen platformScreen(std::uint32_t number, ScreenRect frame) {
    return platformScreen(number, frame, frame);
}

GeometryError error(GeometryError::Kind kind) {
    return GeometryError{kind};
}

struct ServiceCase {
    std::string name;
    std::vector<Screen> platformScreens;
    Outcome expected;
};

class ScreenServiceCases : public ::testing::TestWithParam<ServiceCase> {};

TEST_P(ScreenServiceCases, TurnsThePlatformScreensIntoDesktopGeometry) {
    auto source = std::make_shared<ListedScreens>();
    source->list = GetParam().platformScreens;
    ScreenService service(source);
    expectOutcome(GetParam().expected, [&] { return service.screens(); });
    EXPECT_EQ(source->reads, 1);
}

const ScreenRect primary{0, 0, 1440, 900};

INSTANTIATE_TEST_SUITE_P(
    ScreenService, ScreenServiceCases,
    ::testing::Values(
        // A menu bar of 25 points at the top: the usable area starts 25 points down.
        ServiceCase{"MenuBarAtTheTop",
                    {platformScreen(1, primary, {0, 0, 1440, 875})},
                    std::vector{screen(1, frame(0, 0, 1440, 900), frame(0, 25, 1440, 875))}},
        ServiceCase{"ScreensAboveBelowAndLeftOfThePrimary",
                    {platformScreen(1, primary), platformScreen(2, {0, 900, 1920, 1080}),
                     platformScreen(3, {200, -768, 1024, 768}), platformScreen(4, {-1280, 0, 1280, 1024})},
                    std::vector{screen(1, frame(0, 0, 1440, 900)), screen(2, frame(0, -1080, 1920, 1080)),
                                screen(3, frame(200, 900, 1024, 768)),
                                screen(4, frame(-1280, -124, 1280, 1024))}},
        // The top edge comes from the first screen even when it does not sit at the origin.
        ServiceCase{"TheFirstScreensTopEdgeIsTheFlipLine",
                    {platformScreen(7, {100, 50, 800, 600}), platformScreen(8, {900, 0, 800, 650})},
                    std::vector{screen(7, frame(100, 0, 800, 600)), screen(8, frame(900, 0, 800, 650))}},
        // Left for the screen selection, which refuses the repeat when it uses the list.
        ServiceCase{"RepeatedNumbersAreBothReturned",
                    {platformScreen(5, primary), platformScreen(5, {1440, 0, 800, 600})},
                    std::vector{screen(5, frame(0, 0, 1440, 900)), screen(5, frame(1440, 300, 800, 600))}},
        ServiceCase{"NoScreens", {}, error(GeometryError::Kind::noScreens)},
        ServiceCase{"AScreenWithoutANumber",
                    {platformScreen(1, primary), Screen{primary, primary, {}}},
                    error(GeometryError::Kind::noScreens)},
        ServiceCase{"AScreenWhoseNumberIsNoNumber",
                    {platformScreen(1, primary),
                     Screen{primary, primary, {{platform::screenNumberKey, std::string("2")}}}},
                    error(GeometryError::Kind::noScreens)},
        ServiceCase{"ANumberUnderAnotherKeyOnly",
                    {Screen{primary, primary, {{"NSDeviceSize", std::uint32_t{1}}}}},
                    error(GeometryError::Kind::noScreens)},
        ServiceCase{"AVisibleFrameOnePointWiderThanItsScreen",
                    {platformScreen(1, primary, {0, 0, 1441, 900})},
                    error(GeometryError::Kind::usableAreaOutsideScreen)},
        // The top edge is checked before any screen, so the missing number of the second one is
        // never looked at.
        ServiceCase{"ANonFiniteTopEdgeComesFirst",
                    {platformScreen(1, {0, infinity, 1440, 900}), Screen{primary, primary, {}}},
                    error(GeometryError::Kind::nonFinitePoints)},
        ServiceCase{"ATopEdgeThatOverflows",
                    {platformScreen(1, {0, std::numeric_limits<double>::max(), 1440, 1e308})},
                    error(GeometryError::Kind::nonFinitePoints)},
        // Position before size: a NaN x beats a zero width.
        ServiceCase{"CoordinatesAreCheckedBeforeTheSize",
                    {platformScreen(1, primary), platformScreen(2, {nan, 0, 0, 600})},
                    error(GeometryError::Kind::nonFinitePoints)},
        ServiceCase{"AnEmptyScreen",
                    {platformScreen(1, primary), platformScreen(2, {1440, 0, 0, 600})},
                    error(GeometryError::Kind::nonPositiveSize)},
        ServiceCase{"AnEmptyVisibleFrame",
                    {platformScreen(1, primary, {0, 0, 1440, -1})},
                    error(GeometryError::Kind::nonPositiveSize)},
        // The flipped y is finite, but the far edge rounds back onto it.
        ServiceCase{"AFarEdgeThatRoundsAway",
                    {platformScreen(1, primary), platformScreen(2, {1e20, 0, 1, 600})},
                    error(GeometryError::Kind::unrepresentableGeometry)},
        ServiceCase{"AFlipThatOverflows",
                    {platformScreen(1, {0, 1.5e308, 1440, 900}), platformScreen(2, {0, -1.5e308, 10, 10})},
                    error(GeometryError::Kind::nonFinitePoints)}),
    [](const auto& info) { return info.param.name; });

TEST(ScreenService, ReadsTheScreensAfreshOnEveryCall) {
    auto source = std::make_shared<ListedScreens>();
    source->list = {platformScreen(1, primary)};
    ScreenService service(source);
    EXPECT_EQ(service.screens(), std::vector{screen(1, frame(0, 0, 1440, 900))});

    source->list.push_back(platformScreen(2, {1440, 0, 800, 600}));
    EXPECT_EQ(service.screens().size(), 2U);
    source->list.clear();
    EXPECT_EQ(thrownGeometryError([&] { service.screens(); }), error(GeometryError::Kind::noScreens));
    EXPECT_EQ(source->reads, 3);
}

TEST(ScreenService, RefusesToBeBuiltWithoutASource) {
    EXPECT_THROW(ScreenService(nullptr), std::invalid_argument);
}

} // namespace
} // namespace tidewright
