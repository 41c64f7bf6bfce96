// The synced record: which records are supported, how two merge, and its JSON.

#include <gtest/gtest.h>

#include "corbel/core/PreferenceRecord.hpp"

namespace corbel {
namespace {

PreferenceRecord record(std::uint64_t revision, std::string writer, std::optional<std::string> payload) {
    return PreferenceRecord(revision, std::move(writer), std::move(payload));
}

TEST(PreferenceRecord, MergeKeepsTheSameWinnerOnEitherSide) {
    const struct {
        const char* what;
        PreferenceRecord winner;
        PreferenceRecord loser;
    } cases[] = {
        {"greater revision, whatever the writers", record(3, "A", "x"), record(2, "Z", "y")},
        {"later writer text", record(2, "B", "x"), record(2, "A", "y")},
        {"writer bytes as unsigned", record(2, "\xc3\xa9", "x"), record(2, "z", "y")},
        {"removal over a value", record(2, "A", std::nullopt), record(2, "A", "y")},
        {"greater last byte", record(2, "A", std::string("\x01\x03")),
         record(2, "A", std::string("\x01\x02"))},
        {"a proper prefix is smaller", record(2, "A", std::string("\x01\x02\x00", 3)),
         record(2, "A", std::string("\x01\x02"))},
        {"0x80 above 0x7f", record(2, "A", std::string("\x80")), record(2, "A", std::string("\x7f"))},
    };
    for (const auto& [what, winner, loser] : cases) {
        EXPECT_EQ(winner.merged(loser), winner) << what;
        EXPECT_EQ(loser.merged(winner), winner) << what;
    }
    // A complete tie keeps the receiver, which is then equal to the other anyway.
    const auto same = record(1, "A", "x");
    EXPECT_EQ(same.merged(same), same);
}

TEST(PreferenceRecord, SupportedOnlyWithinItsLimits) {
    EXPECT_TRUE(record(1, std::string(128, 'w'), std::string(32768, 'p')).isSupported());
    EXPECT_TRUE(record(1, "w", std::nullopt).isSupported());
    auto version2 = record(1, "w", "p");
    version2.version = 2;
    const PreferenceRecord unsupported[] = {
        record(0, "w", "p"),
        version2,
        record(1, "", "p"),
        record(1, std::string(129, 'w'), "p"),
        record(1, "w", std::string(32769, 'p')),
    };
    for (const auto& candidate : unsupported) {
        EXPECT_FALSE(candidate.isSupported()) << candidate.revision << " " << candidate.writer.size();
    }
}

TEST(PreferenceRecord, JsonRoundTripsWithAndWithoutPayload) {
    for (const auto& original :
         {record(7, "writer", std::string("{\"a\":1}\x00\xff", 9)), record(UINT64_MAX, "w", std::nullopt)}) {
        const auto json = original.encode();
        ASSERT_TRUE(json);
        EXPECT_EQ(PreferenceRecord::decode(*json), original);
    }
    EXPECT_EQ(record(1, "w", std::nullopt).encode()->find("payload"), std::string::npos);
    EXPECT_EQ(record(1, "\xff", "p").encode(), std::nullopt)
        << "JSON cannot carry a writer that is not UTF-8";
}

TEST(PreferenceRecord, DecodesWhatADefaultDecoderAcceptsAndNothingElse) {
    EXPECT_EQ(
        PreferenceRecord::decode(R"({"version":1,"revision":2,"writer":"w","payload":null,"extra":[]})"),
        record(2, "w", std::nullopt));
    EXPECT_EQ(PreferenceRecord::decode(R"({"version":5,"revision":0,"writer":""})")->version, 5)
        << "decoding does not judge support";
    const char* refused[] = {
        "",
        "[]",
        "not json",
        R"({"revision":2,"writer":"w"})",
        R"({"version":1,"writer":"w"})",
        R"({"version":1,"revision":2})",
        R"({"version":"1","revision":2,"writer":"w"})",
        R"({"version":1,"revision":-2,"writer":"w"})",
        R"({"version":1,"revision":2.5,"writer":"w"})",
        R"({"version":1,"revision":18446744073709551616,"writer":"w"})",
        R"({"version":9223372036854775808,"revision":2,"writer":"w"})",
        R"({"version":1,"revision":2,"writer":7})",
        R"({"version":1,"revision":2,"writer":"w","payload":"***"})",
        R"({"version":1,"revision":2,"writer":"w","payload":5})",
    };
    for (const char* json : refused) {
        EXPECT_EQ(PreferenceRecord::decode(json), std::nullopt) << json;
    }
}

} // namespace
} // namespace corbel
