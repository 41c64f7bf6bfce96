#include "corbel/updates/AppVersion.hpp"

#include <gtest/gtest.h>

#include <compare>
#include <string>
#include <vector>

namespace corbel {
namespace {

struct ValidCase {
    std::string text;
    std::vector<std::int32_t> parts;
};

class ValidVersion : public testing::TestWithParam<ValidCase> {};

TEST_P(ValidVersion, ParsesItsPartsAndKeepsItsText) {
    const auto version = AppVersion::parse(GetParam().text);
    ASSERT_TRUE(version);
    EXPECT_EQ(version->parts(), GetParam().parts);
    EXPECT_EQ(version->description(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Cases, ValidVersion,
                         testing::Values(ValidCase{"1", {1}}, ValidCase{"1.0.0.0", {1, 0, 0, 0}},
                                         ValidCase{"123456.0", {123456, 0}}, ValidCase{"007", {7}},
                                         ValidCase{"999999.999999.999999.999999",
                                                   {999999, 999999, 999999, 999999}},
                                         ValidCase{"0", {0}}));

class InvalidVersion : public testing::TestWithParam<std::string> {};

TEST_P(InvalidVersion, IsRefused) {
    EXPECT_FALSE(AppVersion::parse(GetParam())) << '"' << GetParam() << '"';
}

INSTANTIATE_TEST_SUITE_P(Cases, InvalidVersion,
                         testing::Values("", ".", "1.", ".1", "1..2", "1.2.3.4.5", "1234567", "1.0000000",
                                         "a1", "1.2 ", " 1.2", "+1", "-1", "1.-2", "1\n", "1\t",
                                         // FULLWIDTH DIGIT ONE, and ARABIC-INDIC DIGIT ONE
                                         "\xEF\xBC\x91", "1.\xD9\xA1", std::string("1\0", 2), "1.2 beta",
                                         "1,2", "0x1"));

struct OrderCase {
    std::string lhs;
    std::string rhs;
    std::weak_ordering expected;
};

class VersionOrder : public testing::TestWithParam<OrderCase> {};

TEST_P(VersionOrder, ComparesNumericallyWithMissingPartsAsZeroInBothDirections) {
    const auto lhs = AppVersion::parse(GetParam().lhs);
    const auto rhs = AppVersion::parse(GetParam().rhs);
    ASSERT_TRUE(lhs && rhs);
    EXPECT_EQ(*lhs <=> *rhs, GetParam().expected);
    EXPECT_EQ(*lhs == *rhs, GetParam().expected == 0);
    EXPECT_EQ(*lhs < *rhs, GetParam().expected < 0);
    EXPECT_EQ(*rhs<*lhs, GetParam().expected> 0);
}

INSTANTIATE_TEST_SUITE_P(Cases, VersionOrder,
                         testing::Values(OrderCase{"1.2", "1.2.0.0", std::weak_ordering::equivalent},
                                         OrderCase{"1.2", "1.2.0", std::weak_ordering::equivalent},
                                         OrderCase{"007", "7.0", std::weak_ordering::equivalent},
                                         OrderCase{"1.10", "1.9", std::weak_ordering::greater},
                                         OrderCase{"2", "1.99.99.99", std::weak_ordering::greater},
                                         OrderCase{"1.4", "1.4.0.1", std::weak_ordering::less},
                                         OrderCase{"0.9", "1", std::weak_ordering::less},
                                         OrderCase{"999999", "999998.999999", std::weak_ordering::greater}));

TEST(AppVersion, EqualVersionsKeepTheirOwnTexts) {
    const auto shorter = AppVersion::parse("1.2");
    const auto longer = AppVersion::parse("1.2.0.0");
    ASSERT_TRUE(shorter && longer);
    EXPECT_EQ(*shorter, *longer);
    EXPECT_EQ(shorter->description(), "1.2");
    EXPECT_EQ(longer->description(), "1.2.0.0");
}

} // namespace
} // namespace corbel
