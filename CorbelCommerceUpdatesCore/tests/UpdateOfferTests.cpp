#include "corbel/updates/UpdateOffer.hpp"

#include <gtest/gtest.h>

namespace corbel {
namespace {

std::optional<AppVersion> version(const char* text) {
    if (text == nullptr) {
        return std::nullopt;
    }
    return AppVersion::parse(text);
}

struct OfferCase {
    const char* published;
    const char* current;
    const char* setAside;
    const char* offered;
};

class Offer : public testing::TestWithParam<OfferCase> {};

TEST_P(Offer, OffersOnlyAVersionNewerThanTheRunningAndTheSetAsideOnes) {
    const auto& c = GetParam();
    const auto offered = UpdateOffer::newer(version(c.published), *version(c.current), version(c.setAside));
    ASSERT_EQ(offered.has_value(), c.offered != nullptr);
    if (offered) {
        // The published text itself, not an equal version's.
        EXPECT_EQ(offered->description(), c.offered);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Offer,
    testing::Values(OfferCase{"1.5", "1.4", nullptr, "1.5"}, OfferCase{"1.4", "1.4.0", nullptr, nullptr},
                    OfferCase{"1.3", "1.4", nullptr, nullptr}, OfferCase{"1.5", "1.4", "1.5.0", nullptr},
                    OfferCase{"1.5", "1.4", "1.6", nullptr}, OfferCase{"1.5", "1.4", "1.4.9", "1.5"},
                    OfferCase{nullptr, "1.4", nullptr, nullptr}, OfferCase{nullptr, "1.4", "1.3", nullptr}));

} // namespace
} // namespace corbel
