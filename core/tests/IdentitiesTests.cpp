#include "tidewright/core/Identities.hpp"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <unordered_set>

namespace tidewright {
namespace {

struct BundleCase {
    std::string text;
    bool accepted;
};

void PrintTo(const BundleCase& c, std::ostream* os) {
    *os << '"' << c.text.substr(0, 24) << (c.text.size() > 24 ? "…" : "") << "\" (" << c.text.size()
        << " bytes)";
}

class BundleIDValidation : public testing::TestWithParam<BundleCase> {};

TEST_P(BundleIDValidation, AcceptsOrRefuses) {
    const auto& c = GetParam();
    if (c.accepted) {
        EXPECT_EQ(BundleID(c.text).rawValue(), c.text);
    } else {
        EXPECT_THROW(BundleID{c.text}, IdentityError);
    }
    EXPECT_EQ(BundleID::isValid(c.text), c.accepted);
}

std::string ofLength(std::size_t n) {
    // "a.bbb…" of exactly n bytes
    return "a." + std::string(n - 2, 'b');
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BundleIDValidation,
    testing::Values(BundleCase{"com.example", true}, BundleCase{"com.example-app.Tool2", true},
                    BundleCase{"a.b", true}, BundleCase{"-.-", true}, BundleCase{"com", false},
                    BundleCase{"", false}, BundleCase{".", false}, BundleCase{".com.example", false},
                    BundleCase{"com.example.", false}, BundleCase{"com..example", false},
                    BundleCase{"com.example_app", false}, BundleCase{"com.exa mple", false},
                    BundleCase{"com.caf\xC3\xA9", false}, BundleCase{std::string("com.a\0b", 7), false},
                    BundleCase{ofLength(255), true}, BundleCase{ofLength(256), false}));

TEST(BundleID, CaseSensitiveEqualityHashAndByteOrder) {
    const BundleID upper("com.Example");
    const BundleID lower("com.example");
    EXPECT_NE(upper, lower);
    EXPECT_LT(upper, lower);
    EXPECT_LT(BundleID("Z.a"), BundleID("a.a"));
    EXPECT_LT(BundleID("com.a"), BundleID("com.a.b"));
    EXPECT_LT(BundleID("a-.b"), BundleID("a0.b"));
    EXPECT_FALSE(lower < lower);
    EXPECT_TRUE(lower <= lower);
    std::unordered_set<BundleID> set{upper, lower, BundleID("com.example")};
    EXPECT_EQ(set.size(), 2u);
}

TEST(BundleID, JsonCodingIsOneBareString) {
    EXPECT_EQ(nlohmann::json(BundleID("com.example")).dump(), "\"com.example\"");
    EXPECT_EQ(nlohmann::json::parse("\"com.example\"").get<BundleID>(), BundleID("com.example"));
    EXPECT_THROW(nlohmann::json::parse("\"invalid\"").get<BundleID>(), IdentityError);
    for (const char* notAString : {"42", R"({"rawValue":"com.example"})", "null"}) {
        try {
            (void)nlohmann::json::parse(notAString).get<BundleID>();
            ADD_FAILURE() << notAString << " decoded";
        } catch (const DecodingError& error) {
            EXPECT_EQ(error.kind, DecodingError::Kind::typeMismatch) << notAString;
        }
    }
}

TEST(Identities, IncarnationAndTokenSeparateKeys) {
    const BundleID app("com.example");
    const ProcessID first{app, 42, 1};
    const ProcessID reused{app, 42, 2};
    EXPECT_NE(first, reused);
    EXPECT_EQ(first, (ProcessID{app, 42, 1}));
    EXPECT_NE((WindowID{first, 7}), (WindowID{reused, 7}));
    EXPECT_NE((OpeningCycleID{first, 1}), (OpeningCycleID{first, 2}));
    EXPECT_EQ((RequestID{3}), (RequestID{3}));

    std::unordered_set<ProcessID> processes{first, reused, ProcessID{app, 42, 1}};
    EXPECT_EQ(processes.size(), 2u);
    std::unordered_set<WindowID> windows{WindowID{first, 7}, WindowID{reused, 7}, WindowID{first, 8}};
    EXPECT_EQ(windows.size(), 3u);
    EXPECT_EQ(std::hash<WindowID>{}(WindowID{first, 7}), std::hash<WindowID>{}(WindowID{first, 7}));
}

} // namespace
} // namespace tidewright
