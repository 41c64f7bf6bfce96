#include "GeometryTestSupport.hpp"
#include "tidewright/core/WindowPlacement.hpp"

#include <gtest/gtest.h>
#include <optional>
#include <string>

namespace tidewright {
namespace {

struct LimitsCase {
    std::string name;
    WindowSize minimum;
    std::optional<WindowSize> maximum;
    bool accepted;
};

void PrintTo(const LimitsCase& c, std::ostream* os) {
    *os << c.name;
}

class SizeLimitsConstruction : public testing::TestWithParam<LimitsCase> {};

TEST_P(SizeLimitsConstruction, RefusesAMaximumBelowTheMinimum) {
    const auto& c = GetParam();
    const auto error = thrownGeometryError([&] {
        const SizeLimits limits(c.minimum, c.maximum);
        EXPECT_EQ(limits.minimum(), c.minimum);
        EXPECT_EQ(limits.maximum(), c.maximum);
    });
    if (c.accepted) {
        EXPECT_EQ(error, std::nullopt);
    } else {
        EXPECT_EQ(error, GeometryError{GeometryError::Kind::invalidSizeLimits});
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, SizeLimitsConstruction,
                         testing::Values(LimitsCase{"unbounded", size(100, 50), std::nullopt, true},
                                         LimitsCase{"maximumEqualsMinimum", size(100, 50), size(100, 50),
                                                    true},
                                         LimitsCase{"maximumLarger", size(100, 50), size(800, 600), true},
                                         LimitsCase{"maximumNarrower", size(100, 50), size(99.5, 600), false},
                                         LimitsCase{"maximumLower", size(100, 50), size(800, 49), false}),
                         [](const auto& info) { return info.param.name; });

TEST(SizeCapabilities, CarriesItsPayloadAndComparesByIt) {
    const SizeLimits limits(size(100, 50), size(800, 600));
    const auto resizable = SizeCapabilities::resizable(limits);
    const auto fixed = SizeCapabilities::fixed(size(100, 50));
    const auto unknown = SizeCapabilities::unknown();

    EXPECT_EQ(resizable.kind(), SizeCapabilities::Kind::resizable);
    EXPECT_EQ(resizable.limits(), limits);
    EXPECT_EQ(resizable.fixedSize(), std::nullopt);
    EXPECT_EQ(fixed.kind(), SizeCapabilities::Kind::fixed);
    EXPECT_EQ(fixed.fixedSize(), size(100, 50));
    EXPECT_EQ(fixed.limits(), std::nullopt);
    EXPECT_EQ(unknown.kind(), SizeCapabilities::Kind::unknown);

    EXPECT_EQ(unknown, SizeCapabilities::unknown());
    EXPECT_NE(resizable, SizeCapabilities::resizable(SizeLimits(size(100, 50))));
    // An absent maximum equals only an absent maximum.
    EXPECT_EQ(SizeLimits(size(1, 1)), SizeLimits(size(1, 1)));
    EXPECT_NE(SizeLimits(size(1, 1)), SizeLimits(size(1, 1), size(1, 1)));
    EXPECT_NE(fixed, SizeCapabilities::fixed(size(100, 51)));
    EXPECT_NE(fixed, unknown);
}

TEST(PlacementVisibility, CannotFitCarriesItsOverflow) {
    const VisibilityOverflow overflow{Points(200), Points(0)};
    EXPECT_EQ(PlacementVisibility::fullyVisible().kind(), PlacementVisibility::Kind::fullyVisible);
    EXPECT_EQ(PlacementVisibility::fullyVisible().overflow(), std::nullopt);
    EXPECT_EQ(PlacementVisibility::cannotFit(overflow).kind(), PlacementVisibility::Kind::cannotFit);
    EXPECT_EQ(PlacementVisibility::cannotFit(overflow).overflow(), overflow);
    EXPECT_NE(PlacementVisibility::cannotFit(overflow),
              PlacementVisibility::cannotFit({Points(200), Points(1)}));
    EXPECT_NE(PlacementVisibility::cannotFit(overflow), PlacementVisibility::fullyVisible());
}

} // namespace
} // namespace tidewright
