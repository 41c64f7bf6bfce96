#include "tidewright/core/PreferencePayload.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "PreferenceTestSupport.hpp"
#include "tidewright/core/DecodingError.hpp"

namespace tidewright {
namespace {

using namespace testing_support;

TEST(PreferencePayload, ReadsTheOnOffValueAndTheRules) {
    EXPECT_TRUE(PreferencePayload::empty().operationEnabled());
    EXPECT_TRUE(payload(onOff(true, 1)).operationEnabled());
    EXPECT_FALSE(payload(onOff(false, 1)).operationEnabled());

    const auto rules = payload(std::nullopt, {rule("com.a.app", 1, center), marker("com.b.app", 2)});
    EXPECT_EQ(rules.action(app("com.a.app")), center);
    EXPECT_EQ(rules.action(app("com.b.app")), std::nullopt);
    EXPECT_EQ(rules.action(app("com.c.app")), std::nullopt);
    // The first rule of the application answers, even in a payload that is not valid.
    const auto twice = payload(std::nullopt, {rule("com.a.app", 1, maximize), rule("com.a.app", 2, center)});
    EXPECT_EQ(twice.action(app("com.a.app")), maximize);
}

TEST(PreferencePayload, HighestCounterCountsEveryItem) {
    EXPECT_EQ(PreferencePayload::empty().highestCounter(), 0u);
    EXPECT_EQ(payload(std::nullopt, {marker("com.a.app", 7)}).highestCounter(), 7u);
    EXPECT_EQ(payload(onOff(true, 9), {rule("com.a.app", 3, center)}).highestCounter(), 9u);
    EXPECT_EQ(
        payload(onOff(true, 2), {rule("com.a.app", 3, center), marker("com.b.app", 11)}).highestCounter(),
        11u);
}

struct ValidityCase {
    const char* name;
    PreferencePayload payload;
    bool valid;
};

void PrintTo(const ValidityCase& c, std::ostream* os) {
    *os << c.name;
}

class PayloadValidity : public testing::TestWithParam<ValidityCase> {};

TEST_P(PayloadValidity, Holds) {
    EXPECT_EQ(GetParam().payload.isValid(), GetParam().valid);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PayloadValidity,
    testing::Values(
        ValidityCase{"empty", PreferencePayload::empty(), true},
        ValidityCase{"version0", withVersion(0), false}, ValidityCase{"version2", withVersion(2), false},
        ValidityCase{"enabledCounter0", payload(onOff(true, 0)), false},
        ValidityCase{"enabledEmptyWriter", payload(onOff(true, 1, "")), false},
        ValidityCase{"ruleCounter0", payload(std::nullopt, {rule("com.a.app", 0, center)}), false},
        ValidityCase{"markerCounter0", payload(std::nullopt, {marker("com.a.app", 0)}), false},
        ValidityCase{"writerOf128Bytes", payload(onOff(true, 1, std::string(128, 'W'))), true},
        ValidityCase{"writerOf129Bytes",
                     payload(std::nullopt, {rule("com.a.app", 1, center, std::string(129, 'W'))}), false},
        // Bytes are counted, not characters: 64 two-byte letters are 128 bytes, 65 are 130.
        ValidityCase{"multiByteWriterOf128Bytes",
                     payload(onOff(true, 1,
                                   [] {
                                       std::string text;
                                       for (int i = 0; i < 64; ++i)
                                           text += "\xC3\xA9";
                                       return text;
                                   }())),
                     true},
        ValidityCase{"multiByteWriterOf130Bytes",
                     payload(onOff(true, 1,
                                   [] {
                                       std::string text;
                                       for (int i = 0; i < 65; ++i)
                                           text += "\xC3\xA9";
                                       return text;
                                   }())),
                     false},
        ValidityCase{"oneApplicationTwice",
                     payload(std::nullopt, {rule("com.a.app", 1, center), marker("com.a.app", 2)}), false},
        ValidityCase{"unsortedDistinctRules",
                     payload(onOff(false, 4), {rule("com.b.app", 1, center), rule("com.a.app", 2, maximize)}),
                     true}),
    [](const auto& info) { return std::string(info.param.name); });

// Every merge case is checked with each side as the local one: two devices must agree.
struct RuleMergeCase {
    const char* name;
    OpeningRulePreference first;
    OpeningRulePreference second;
    // Which of the two wins whichever is local.
    int winner;
};

void PrintTo(const RuleMergeCase& c, std::ostream* os) {
    *os << c.name;
}

class RuleMerge : public testing::TestWithParam<RuleMergeCase> {};

TEST_P(RuleMerge, SameWinnerWhicheverSideIsLocal) {
    const auto& c = GetParam();
    const auto& expected = c.winner == 1 ? c.first : c.second;
    EXPECT_EQ(OpeningRulePreference::merge(c.first, c.second), expected);
    EXPECT_EQ(OpeningRulePreference::merge(c.second, c.first), expected);
    // The whole record wins, writer bytes included.
    EXPECT_EQ(OpeningRulePreference::merge(c.second, c.first).revision.writer, expected.revision.writer);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RuleMerge,
    testing::Values(RuleMergeCase{"greaterCounterWins", rule("com.a.app", 3, center, "Z"),
                                  rule("com.a.app", 4, maximize, "A"), 2},
                    RuleMergeCase{"greaterCounterMarkerWins", marker("com.a.app", 9, "A"),
                                  rule("com.a.app", 8, maximize, "Z"), 1},
                    RuleMergeCase{"olderMarkerLoses", marker("com.a.app", 2, "Z"),
                                  rule("com.a.app", 3, center, "A"), 2},
                    RuleMergeCase{"greaterWriterWinsAtEqualCounters", rule("com.a.app", 5, maximize, "A1"),
                                  rule("com.a.app", 5, center, "B1"), 2},
                    RuleMergeCase{"greaterWriterWinsOverMarker", marker("com.a.app", 5, "A1"),
                                  rule("com.a.app", 5, center, "B1"), 2},
                    RuleMergeCase{"maximizeWinsOverCenterAtEqualRevisions", rule("com.a.app", 5, center),
                                  rule("com.a.app", 5, maximize), 2},
                    RuleMergeCase{"markerWinsAtEqualRevisions", rule("com.a.app", 5, maximize),
                                  marker("com.a.app", 5), 2},
                    RuleMergeCase{"markerWinsOverCenterAtEqualRevisions", marker("com.a.app", 5),
                                  rule("com.a.app", 5, center), 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RuleMerge, EqualRecordsKeepTheLocalOne) {
    const auto local = rule("com.a.app", 5, center, "caf\x65\xCC\x81");
    const auto incoming = rule("com.a.app", 5, center, "caf\xC3\xA9");
    EXPECT_EQ(OpeningRulePreference::merge(local, incoming).revision.writer, local.revision.writer);
    EXPECT_EQ(OpeningRulePreference::merge(incoming, local).revision.writer, incoming.revision.writer);
    const auto localMarker = marker("com.a.app", 5, "caf\x65\xCC\x81");
    const auto incomingMarker = marker("com.a.app", 5, "caf\xC3\xA9");
    EXPECT_EQ(OpeningRulePreference::merge(localMarker, incomingMarker).revision.writer,
              localMarker.revision.writer);
}

struct EnabledMergeCase {
    const char* name;
    std::optional<EnabledPreference> first;
    std::optional<EnabledPreference> second;
    std::optional<EnabledPreference> expected;
};

void PrintTo(const EnabledMergeCase& c, std::ostream* os) {
    *os << c.name;
}

class EnabledMerge : public testing::TestWithParam<EnabledMergeCase> {};

TEST_P(EnabledMerge, SameResultWhicheverSideIsLocal) {
    const auto& c = GetParam();
    EXPECT_EQ(EnabledPreference::merge(c.first, c.second), c.expected);
    EXPECT_EQ(EnabledPreference::merge(c.second, c.first), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EnabledMerge,
    testing::Values(
        EnabledMergeCase{"bothAbsent", std::nullopt, std::nullopt, std::nullopt},
        EnabledMergeCase{"oneAbsent", std::nullopt, onOff(false, 3), onOff(false, 3)},
        EnabledMergeCase{"greaterCounterWinsEvenWhenOn", onOff(false, 3, "Z"), onOff(true, 4, "A"),
                         onOff(true, 4, "A")},
        EnabledMergeCase{"greaterWriterWins", onOff(false, 4, "A"), onOff(true, 4, "B"), onOff(true, 4, "B")},
        // Equal revisions: off wins, with the record of the side that is off.
        EnabledMergeCase{"offWinsAtEqualRevisions", onOff(true, 4, "A"), onOff(false, 4, "A"),
                         onOff(false, 4, "A")},
        EnabledMergeCase{"bothOn", onOff(true, 4, "A"), onOff(true, 4, "A"), onOff(true, 4, "A")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PayloadMerge, KeepsEveryItemAndSortsTheRules) {
    const auto local =
        payload(onOff(true, 2, "L"), {rule("com.c.app", 4, center, "L"), rule("com.a.app", 1, center, "L"),
                                      marker("com.d.app", 3, "L")});
    const auto incoming =
        payload(std::nullopt, {rule("com.b.app", 5, maximize, "I"), rule("com.a.app", 6, maximize, "I"),
                               rule("com.d.app", 2, center, "I")});
    const auto expected = payload(onOff(true, 2, "L"),
                                  {rule("com.a.app", 6, maximize, "I"), rule("com.b.app", 5, maximize, "I"),
                                   rule("com.c.app", 4, center, "L"), marker("com.d.app", 3, "L")});
    EXPECT_EQ(local.merged(incoming), expected);
    EXPECT_EQ(incoming.merged(local), expected);
}

TEST(PayloadMerge, WithItselfOnlySortsTheRules) {
    const auto unsorted = payload(onOff(false, 8), {rule("com.z.app", 1, center), marker("com.a.app", 2),
                                                    rule("com.Z.app", 3, maximize)});
    auto sorted = unsorted;
    sorted.sortRules();
    EXPECT_EQ(unsorted.merged(unsorted), sorted);
    EXPECT_EQ(sorted.rules.front().app, app("com.Z.app"));
    EXPECT_EQ(sorted.rules.back().app, app("com.z.app"));
}

TEST(PayloadMerge, AnInvalidReceiverWithARepeatedApplicationStillMergesEveryRecord) {
    // Not reachable through the policy, which only keeps valid payloads; the merge must still not
    // lose the newer duplicate or produce two rules for one application.
    const auto local = payload(std::nullopt, {rule("com.a.app", 1, center), rule("com.a.app", 7, maximize)});
    const auto merged = local.merged(PreferencePayload::empty());
    EXPECT_EQ(merged, payload(std::nullopt, {rule("com.a.app", 7, maximize)}));
}

// Random payloads over few applications, small counters and writers that include canonically
// equivalent spellings, so that equal revisions and every tie-break come up often.
PreferencePayload randomPayload(std::mt19937_64& random) {
    static const char* const apps[] = {"a.b", "c.d", "com.Z.app", "com.z.app"};
    static const char* const writers[] = {"A",       "B", "caf\x65\xCC\x81", "caf\xC3\xA9", "\xE2\x84\xAB",
                                          "\xC3\x85"};
    const auto pick = [&random](std::size_t count) {
        return static_cast<std::size_t>(random() % count);
    };
    const auto aRevision = [&] {
        return revision(1 + pick(3), writers[pick(std::size(writers))]);
    };
    PreferencePayload result;
    if (pick(3) != 0) {
        result.enabled = EnabledPreference{aRevision(), pick(2) == 0};
    }
    for (const char* application : apps) {
        if (pick(3) == 0) {
            continue;
        }
        const std::size_t kind = pick(3);
        result.rules.push_back(
            OpeningRulePreference{app(application), aRevision(),
                                  kind == 0 ? std::nullopt : std::optional(kind == 1 ? maximize : center)});
    }
    std::shuffle(result.rules.begin(), result.rules.end(), random);
    return result;
}

TEST(PayloadMerge, DevicesAgreeWhateverTheOrderOfMerges) {
    std::mt19937_64 random(20'261'210);
    for (int round = 0; round < 3'000; ++round) {
        const auto a = randomPayload(random);
        const auto b = randomPayload(random);
        const auto c = randomPayload(random);
        ASSERT_EQ(a.merged(b), b.merged(a)) << encode(a) << " with " << encode(b);
        ASSERT_EQ(a.merged(b).merged(c), a.merged(b.merged(c)))
            << encode(a) << " with " << encode(b) << " with " << encode(c);
        auto sorted = a;
        sorted.sortRules();
        ASSERT_EQ(a.merged(a), sorted) << encode(a);
        // Merging again what was merged in changes nothing.
        ASSERT_EQ(a.merged(b).merged(b), a.merged(b)) << encode(a) << " with " << encode(b);
    }
}

TEST(PayloadMerge, ResultIsVersionOne) {
    auto local = PreferencePayload::empty();
    local.version = 3;
    EXPECT_EQ(local.merged(PreferencePayload::empty()).version, 1);
}

TEST(SortRules, IsStable) {
    auto value = payload(std::nullopt, {rule("com.b.app", 1, center), rule("com.a.app", 2, center),
                                        rule("com.b.app", 3, maximize)});
    value.sortRules();
    EXPECT_EQ(value, payload(std::nullopt, {rule("com.a.app", 2, center), rule("com.b.app", 1, center),
                                            rule("com.b.app", 3, maximize)}));
}

TEST(PayloadJson, EncodesCompactlyWithSortedKeysAndLeavesAbsentValuesOut) {
    EXPECT_EQ(encode(PreferencePayload::empty()), R"({"rules":[],"version":1})");
    EXPECT_EQ(encode(payload(onOff(false, 2, "A-1"),
                             {rule("com.a.app", 1, center, "B"), marker("com.b.app", 3, "C")})),
              R"({"enabled":{"revision":{"counter":2,"writer":"A-1"},"value":false},"rules":[)"
              R"({"action":"center","app":"com.a.app","revision":{"counter":1,"writer":"B"}},)"
              R"({"app":"com.b.app","revision":{"counter":3,"writer":"C"}}],"version":1})");
}

TEST(PayloadJson, DecodesWhatItEncodes) {
    const auto value = payload(onOff(true, 18'446'744'073'709'551'615ULL, "\xC3\xA9"),
                               {rule("com.b.app", 2, maximize), marker("com.a.app", 1)});
    EXPECT_EQ(PreferencePayload::decode(encode(value)), value);
    EXPECT_EQ(PreferencePayload::decode(R"({"version": -9223372036854775808, "rules": []})").version,
              std::numeric_limits<std::int64_t>::min());
}

TEST(PayloadJson, NullIsAbsentAndUnknownKeysAreIgnored) {
    const auto decoded = PreferencePayload::decode(
        R"({"version":1,"enabled":null,"extra":{"nested":[1,2.5,null]},"rules":[)"
        R"({"app":"com.a.app","action":null,"revision":{"counter":4,"writer":"W","note":"x"},"more":true}]})");
    EXPECT_EQ(decoded, payload(std::nullopt, {marker("com.a.app", 4)}));
    EXPECT_EQ(PreferencePayload::decode(R"({"rules":[],"version":1})").enabled, std::nullopt);
}

TEST(PayloadJson, ARepeatedKeyKeepsItsLastValue) {
    const auto decoded = PreferencePayload::decode(
        R"({"version":1,"rules":[],"enabled":{"value":true,"revision":{"counter":1,"writer":"A"},"value":false}})");
    EXPECT_EQ(decoded.enabled, onOff(false, 1, "A"));
    EXPECT_EQ(PreferencePayload::decode(R"({"version":2,"rules":[],"version":1})").version, 1);
}

struct DecodingFailure {
    const char* name;
    std::string text;
    DecodingError::Kind kind;
};

void PrintTo(const DecodingFailure& c, std::ostream* os) {
    *os << c.name << ": " << c.text;
}

class PayloadDecodingFailure : public testing::TestWithParam<DecodingFailure> {};

TEST_P(PayloadDecodingFailure, FailsWithItsKind) {
    const auto& c = GetParam();
    try {
        (void)PreferencePayload::decode(c.text);
        ADD_FAILURE() << "decoded";
    } catch (const DecodingError& error) {
        EXPECT_EQ(error.kind, c.kind) << error.detail;
    }
}

std::string withRevision(const std::string& revisionJson) {
    return R"({"version":1,"rules":[{"app":"com.a.app","revision":)" + revisionJson + "}]}";
}

using Kind = DecodingError::Kind;

INSTANTIATE_TEST_SUITE_P(
    Cases, PayloadDecodingFailure,
    testing::Values(
        DecodingFailure{"notJson", "version 1", Kind::dataCorrupted},
        DecodingFailure{"emptyText", "", Kind::dataCorrupted},
        DecodingFailure{"trailingText", R"({"version":1,"rules":[]} x)", Kind::dataCorrupted},
        // A NUL byte is never JSON, so it must not end the document early either.
        DecodingFailure{"nulAfterTheDocument", std::string(R"({"version":1,"rules":[]})") + '\0',
                        Kind::dataCorrupted},
        DecodingFailure{"textAfterANul", std::string(R"({"version":1,"rules":[]})") + '\0' + R"({"x":1})",
                        Kind::dataCorrupted},
        DecodingFailure{"byteOrderMark", "\xEF\xBB\xBF{\"version\":1,\"rules\":[]}", Kind::dataCorrupted},
        DecodingFailure{"notUtf8", "{\"version\":1,\"rules\":[],\"x\":\"\xFF\"}", Kind::dataCorrupted},
        DecodingFailure{"comment", "{\"version\":1,/* c */\"rules\":[]}", Kind::dataCorrupted},
        DecodingFailure{"topLevelArray", "[]", Kind::typeMismatch},
        DecodingFailure{"missingVersion", R"({"rules":[]})", Kind::keyNotFound},
        DecodingFailure{"missingRules", R"({"version":1})", Kind::keyNotFound},
        DecodingFailure{"nullRules", R"({"version":1,"rules":null})", Kind::typeMismatch},
        DecodingFailure{"nullVersion", R"({"version":null,"rules":[]})", Kind::typeMismatch},
        DecodingFailure{"versionWithFraction", R"({"version":1.0,"rules":[]})", Kind::typeMismatch},
        DecodingFailure{"versionWithExponent", R"({"version":1e0,"rules":[]})", Kind::typeMismatch},
        DecodingFailure{"versionAsText", R"({"version":"1","rules":[]})", Kind::typeMismatch},
        DecodingFailure{"versionAboveSigned64", R"({"version":9223372036854775808,"rules":[]})",
                        Kind::dataCorrupted},
        DecodingFailure{"versionBelowSigned64", R"({"version":-9223372036854775809,"rules":[]})",
                        Kind::dataCorrupted},
        DecodingFailure{"rulesAsObject", R"({"version":1,"rules":{}})", Kind::typeMismatch},
        DecodingFailure{"ruleAsText", R"({"version":1,"rules":["com.a.app"]})", Kind::typeMismatch},
        DecodingFailure{"enabledWithoutValue",
                        R"({"version":1,"rules":[],"enabled":{"revision":{"counter":1,"writer":"W"}}})",
                        Kind::keyNotFound},
        DecodingFailure{"enabledWithoutRevision", R"({"version":1,"rules":[],"enabled":{"value":true}})",
                        Kind::keyNotFound},
        DecodingFailure{
            "valueAsNumber",
            R"({"version":1,"rules":[],"enabled":{"value":1,"revision":{"counter":1,"writer":"W"}}})",
            Kind::typeMismatch},
        DecodingFailure{"enabledAsBoolean", R"({"version":1,"rules":[],"enabled":false})",
                        Kind::typeMismatch},
        DecodingFailure{"ruleWithoutApp",
                        R"({"version":1,"rules":[{"revision":{"counter":1,"writer":"W"}}]})",
                        Kind::keyNotFound},
        DecodingFailure{"ruleWithoutRevision", R"({"version":1,"rules":[{"app":"com.a.app"}]})",
                        Kind::keyNotFound},
        DecodingFailure{"appAsNumber",
                        R"({"version":1,"rules":[{"app":7,"revision":{"counter":1,"writer":"W"}}]})",
                        Kind::typeMismatch},
        DecodingFailure{
            "unknownAction",
            R"({"version":1,"rules":[{"app":"com.a.app","action":"Maximize","revision":{"counter":1,"writer":"W"}}]})",
            Kind::dataCorrupted},
        DecodingFailure{
            "actionAsNumber",
            R"({"version":1,"rules":[{"app":"com.a.app","action":1,"revision":{"counter":1,"writer":"W"}}]})",
            Kind::typeMismatch},
        DecodingFailure{"missingCounter", withRevision(R"({"writer":"W"})"), Kind::keyNotFound},
        DecodingFailure{"missingWriter", withRevision(R"({"counter":1})"), Kind::keyNotFound},
        DecodingFailure{"writerAsNumber", withRevision(R"({"counter":1,"writer":5})"), Kind::typeMismatch},
        DecodingFailure{"negativeCounter", withRevision(R"({"counter":-1,"writer":"W"})"),
                        Kind::dataCorrupted},
        DecodingFailure{"counterAboveUnsigned64",
                        withRevision(R"({"counter":18446744073709551616,"writer":"W"})"),
                        Kind::dataCorrupted},
        DecodingFailure{"counterWithFraction", withRevision(R"({"counter":1.0,"writer":"W"})"),
                        Kind::typeMismatch},
        DecodingFailure{"counterWithExponent", withRevision(R"({"counter":1e0,"writer":"W"})"),
                        Kind::typeMismatch},
        DecodingFailure{"revisionAsNumber", withRevision("1"), Kind::typeMismatch}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PayloadJson, ARefusedApplicationIdentifierFailsWithTheIdentityError) {
    EXPECT_THROW((void)PreferencePayload::decode(
                     R"({"version":1,"rules":[{"app":"invalid","revision":{"counter":1,"writer":"W"}}]})"),
                 IdentityError);
}

TEST(PayloadJson, DecodingDoesNotCheckValidity) {
    const auto decoded = PreferencePayload::decode(
        R"({"version":7,"rules":[{"app":"a.b","revision":{"counter":0,"writer":""}},)"
        R"({"app":"a.b","revision":{"counter":-0,"writer":""}}]})");
    EXPECT_EQ(decoded.version, 7);
    EXPECT_EQ(decoded.rules.size(), 2u);
    EXPECT_FALSE(decoded.isValid());
}

// A valid payload whose compact encoding is exactly `size` bytes of ASCII: rules with long
// application identifiers, the last ones lengthened until the size is met.
PreferencePayload payloadOfEncodedSize(std::size_t size) {
    PreferencePayload result;
    const auto appText = [](std::size_t index, std::size_t padding) {
        return "com.r" + std::to_string(10000 + index) + "." + std::string(100 + padding, 'x');
    };
    std::vector<std::size_t> paddings;
    const auto build = [&] {
        result.rules.clear();
        for (std::size_t i = 0; i < paddings.size(); ++i) {
            result.rules.push_back(
                OpeningRulePreference{BundleID(appText(i, paddings[i])), revision(1), center});
        }
        return encode(result).size();
    };
    while (true) {
        paddings.push_back(0);
        if (build() > size) {
            paddings.pop_back();
            break;
        }
    }
    std::size_t missing = size - build();
    for (auto& padding : paddings) {
        const std::size_t room = 255 - appText(0, 0).size();
        const std::size_t added = std::min(room, missing);
        padding += added;
        missing -= added;
    }
    build();
    return result;
}

TEST(FitsStorage, TheBoundaryIsExactly32768Bytes) {
    const auto fits = payloadOfEncodedSize(32'768);
    ASSERT_EQ(encode(fits).size(), 32'768u);
    EXPECT_TRUE(fits.isValid());
    EXPECT_TRUE(fits.fitsStorage());

    const auto tooLarge = payloadOfEncodedSize(32'769);
    ASSERT_EQ(encode(tooLarge).size(), 32'769u);
    EXPECT_TRUE(tooLarge.isValid());
    EXPECT_FALSE(tooLarge.fitsStorage());
}

TEST(FitsStorage, RequiresValidityAndAnEncoding) {
    EXPECT_TRUE(PreferencePayload::empty().fitsStorage());
    EXPECT_FALSE(payload(onOff(true, 0)).fitsStorage());
    // A writer that is not UTF-8 cannot be written as JSON.
    const auto unencodable = payload(onOff(true, 1, "\xFF"));
    EXPECT_TRUE(unencodable.isValid());
    EXPECT_EQ(unencodable.encoded(), std::nullopt);
    EXPECT_FALSE(unencodable.fitsStorage());
}

} // namespace
} // namespace tidewright
