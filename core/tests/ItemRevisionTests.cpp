#include "tidewright/core/ItemRevision.hpp"

#include <gtest/gtest.h>

#include <compare>
#include <string>

namespace tidewright {
namespace {

struct WriterCase {
    const char* name;
    std::string lhs;
    std::string rhs;
    std::weak_ordering expected;
};

void PrintTo(const WriterCase& c, std::ostream* os) {
    *os << c.name;
}

class WriterComparison : public testing::TestWithParam<WriterCase> {};

TEST_P(WriterComparison, OrdersByNormalisedCodePointsInBothDirections) {
    const auto& c = GetParam();
    EXPECT_EQ(compareWriterTexts(c.lhs, c.rhs), c.expected);
    const auto reversed = c.expected == 0  ? std::weak_ordering::equivalent
                          : c.expected < 0 ? std::weak_ordering::greater
                                           : std::weak_ordering::less;
    EXPECT_EQ(compareWriterTexts(c.rhs, c.lhs), reversed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, WriterComparison,
    testing::Values(
        WriterCase{"issuedIdentitiesInByteOrder", "A1B2-C3", "B1B2-C3", std::weak_ordering::less},
        WriterCase{"identicalTexts", "0F3A-77", "0F3A-77", std::weak_ordering::equivalent},
        WriterCase{"prefixFirst", "AB", "ABC", std::weak_ordering::less},
        // "e" + COMBINING ACUTE ACCENT is canonically the precomposed letter.
        WriterCase{"decomposedEqualsPrecomposed", "caf\x65\xCC\x81", "caf\xC3\xA9",
                   std::weak_ordering::equivalent},
        // Bytes say "e" < "f"; the NFC form U+00E9 sorts after "f".
        WriterCase{"orderOfTheNormalisedForm", "\x65\xCC\x81", "f", std::weak_ordering::greater},
        // U+FF61 before U+1F600 by code point, though UTF-16 units would order them the other way.
        WriterCase{"codePointsNotUtf16Units", "\xEF\xBD\xA1", "\xF0\x9F\x98\x80", std::weak_ordering::less},
        // A singleton decomposition: ANGSTROM SIGN is canonically A WITH RING ABOVE.
        WriterCase{"singletonDecomposition", "\xE2\x84\xAB", "\xC3\x85", std::weak_ordering::equivalent}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ItemRevision, OrdersByCounterThenWriter) {
    EXPECT_LT((ItemRevision{1, "Z"}), (ItemRevision{2, "A"}));
    EXPECT_LT((ItemRevision{5, "A"}), (ItemRevision{5, "B"}));
    EXPECT_GT((ItemRevision{5, "B"}), (ItemRevision{5, "A"}));
    EXPECT_EQ((ItemRevision{5, "caf\x65\xCC\x81"}), (ItemRevision{5, "caf\xC3\xA9"}));
    EXPECT_NE((ItemRevision{5, "A"}), (ItemRevision{6, "A"}));
    EXPECT_NE((ItemRevision{5, "A"}), (ItemRevision{5, "a"}));
}

TEST(ItemRevision, JsonRoundTripKeepsTheFullCounterRange) {
    const ItemRevision revision{18'446'744'073'709'551'615ULL, "E3C1-9A"};
    const auto json = nlohmann::json(revision);
    EXPECT_EQ(json.dump(), R"({"counter":18446744073709551615,"writer":"E3C1-9A"})");
    EXPECT_EQ(json.get<ItemRevision>(), revision);
}

} // namespace
} // namespace tidewright
