#include "tidewright/core/PreferencePolicy.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "PreferenceTestSupport.hpp"

namespace tidewright {
namespace {

using namespace testing_support;

constexpr auto cloudAvailable = PreferenceCloudState::available;
const std::string writer = "9A1F-3C2E";

using Publication = PreferencePublication;

PreferenceFragment ruleKey(const char* application) {
    return PreferenceFragment::rule(app(application));
}

// A valid payload whose compact encoding is far beyond the limit.
PreferencePayload oversizedPayload() {
    PreferencePayload result;
    for (int i = 0; i < 200; ++i) {
        result.rules.push_back(
            OpeningRulePreference{BundleID("com.r" + std::to_string(1000 + i) + std::string(200, 'x') + ".a"),
                                  revision(1), center});
    }
    return result;
}

// --- fragments

struct FragmentCase {
    const char* name;
    PreferenceFragment fragment;
    PreferencePayload payload;
    std::optional<PreferenceFragmentIssue> expected;
};

void PrintTo(const FragmentCase& c, std::ostream* os) {
    *os << c.name;
}

class FragmentValidation : public testing::TestWithParam<FragmentCase> {};

TEST_P(FragmentValidation, AnswersTheFirstMismatch) {
    EXPECT_EQ(GetParam().fragment.validate(GetParam().payload), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FragmentValidation,
    testing::Values(
        FragmentCase{"enabledKeyEmpty", PreferenceFragment::enabled(), PreferencePayload::empty(),
                     std::nullopt},
        FragmentCase{"enabledKeyOnOff", PreferenceFragment::enabled(), payload(onOff(false, 1)),
                     std::nullopt},
        FragmentCase{"versionFirst", PreferenceFragment::enabled(), withVersion(-4),
                     PreferenceFragmentIssue::unsupportedVersion(-4)},
        FragmentCase{"invalidRecords", ruleKey("a.b"), payload(std::nullopt, {rule("c.d", 0, center)}),
                     PreferenceFragmentIssue::invalidRecords()},
        FragmentCase{"rulesInEnabled", PreferenceFragment::enabled(),
                     payload(onOff(true, 1), {marker("a.b", 2)}), PreferenceFragmentIssue::rulesInEnabled()},
        FragmentCase{"enabledInRule", ruleKey("a.b"), payload(onOff(true, 1), {rule("c.d", 2, center)}),
                     PreferenceFragmentIssue::enabledInRule()},
        FragmentCase{"ownRule", ruleKey("a.b"), payload(std::nullopt, {rule("a.b", 2, center)}),
                     std::nullopt},
        FragmentCase{
            "smallestOtherApplication", ruleKey("m.m"),
            payload(std::nullopt, {rule("z.z", 1, center), rule("m.m", 1, center), rule("c.d", 1, center)}),
            PreferenceFragmentIssue::unexpectedRule(app("c.d"))}),
    [](const auto& info) { return std::string(info.param.name); });

// --- making a policy

TEST(PolicyInit, AFittingPayloadIsTheSnapshot) {
    const auto stored = payload(onOff(false, 3));
    PreferencePolicy policy(stored, PreferenceFragment::enabled());
    EXPECT_EQ(policy.snapshot(), stored);
    EXPECT_EQ(policy.availability(), available);
    EXPECT_EQ(policy.issue(), std::nullopt);
    EXPECT_EQ(policy.fragmentIssue(), std::nullopt);
    EXPECT_FALSE(policy.requiresNewAccountSession());
}

TEST(PolicyInit, AValidPayloadTooLargeIsKeptButNotOverwrittenFromTheCloud) {
    const auto stored = oversizedPayload();
    ASSERT_GT(encode(stored).size(), 40'000u);
    PreferencePolicy policy(stored);
    EXPECT_EQ(policy.snapshot(), stored);
    EXPECT_EQ(policy.issue(), PreferenceIssue::storageLimit);
    EXPECT_EQ(policy.availability(), unavailable);
    // Not protected locally: answers are localOnly, not volatileOnly; protected incoming: an
    // edit does not publish.
    EXPECT_EQ(policy.receive(std::nullopt, PreferenceCloudState::unavailable, true),
              Publication::localOnly(PreferenceIssue::accountUnavailable));
}

TEST(PolicyInit, AFutureVersionIsProtectedForTheWholeLifeOfThePolicy) {
    PreferencePolicy policy(withVersion(2), PreferenceFragment::enabled());
    EXPECT_EQ(policy.snapshot(), PreferencePayload::empty());
    EXPECT_EQ(policy.issue(), PreferenceIssue::futureVersion);
    EXPECT_EQ(policy.availability(), unavailable);
    EXPECT_EQ(policy.fragmentIssue(), PreferenceFragmentIssue::unsupportedVersion(2));

    EXPECT_EQ(policy.edit(PreferenceEdit::enabled(false), writer),
              Publication::volatileOnly(PreferenceIssue::futureVersion));
    EXPECT_FALSE(policy.snapshot().operationEnabled());
    EXPECT_EQ(policy.availability(), available);
    // Even a cloud value that merges cleanly is held in memory only.
    EXPECT_EQ(policy.receive(encode(payload(onOff(true, 9))), cloudAvailable, true),
              Publication::volatileOnly(PreferenceIssue::futureVersion));
    EXPECT_TRUE(policy.snapshot().operationEnabled());
    EXPECT_EQ(policy.receive(std::nullopt, PreferenceCloudState::quotaExceeded, true),
              Publication::volatileOnly(PreferenceIssue::storageLimit));
    // "none" stays "none".
    EXPECT_EQ(policy.edit(PreferenceEdit::enabled(true), ""), Publication::none());
}

TEST(PolicyInit, UnusableStoredDataIsReplacedByTheEmptyPayload) {
    const struct {
        const char* name;
        PreferencePayload stored;
        std::optional<PreferenceFragment> fragment;
        std::optional<PreferenceFragmentIssue> fragmentIssue;
    } cases[] = {
        {"invalid", payload(onOff(true, 0)), std::nullopt, std::nullopt},
        {"versionZero", withVersion(0), std::nullopt, std::nullopt},
        {"rulesInEnabled", payload(std::nullopt, {rule("a.b", 1, center)}), PreferenceFragment::enabled(),
         PreferenceFragmentIssue::rulesInEnabled()},
        {"anotherApplication", payload(std::nullopt, {rule("c.d", 1, center)}), ruleKey("a.b"),
         PreferenceFragmentIssue::unexpectedRule(app("c.d"))},
    };
    for (const auto& c : cases) {
        PreferencePolicy policy(c.stored, c.fragment);
        EXPECT_EQ(policy.snapshot(), PreferencePayload::empty()) << c.name;
        EXPECT_EQ(policy.issue(), PreferenceIssue::invalidPayload) << c.name;
        EXPECT_EQ(policy.availability(), unavailable) << c.name;
        EXPECT_EQ(policy.fragmentIssue(), c.fragmentIssue) << c.name;
        EXPECT_EQ(policy.receive(std::nullopt, PreferenceCloudState::unavailable, false),
                  Publication::volatileOnly(PreferenceIssue::accountUnavailable))
            << c.name;
    }
}

// --- binding

TEST(BindFragment, BindsOnceAndRevalidates) {
    PreferencePolicy policy(payload(std::nullopt, {rule("a.b", 1, center)}));
    policy.bindFragment(ruleKey("a.b"));
    policy.bindFragment(ruleKey("a.b"));
    try {
        policy.bindFragment(PreferenceFragment::enabled());
        FAIL() << "bound a second fragment";
    } catch (const PreferenceFragmentIssue& issue) {
        EXPECT_EQ(issue, PreferenceFragmentIssue::differentFragment());
    }
    EXPECT_THROW(policy.bindFragment(ruleKey("c.d")), PreferenceFragmentIssue);
}

TEST(BindFragment, ASnapshotOfAnotherKeyIsRefusedAndNothingChanges) {
    const auto stored = payload(std::nullopt, {rule("c.d", 1, center)});
    PreferencePolicy policy(stored);
    try {
        policy.bindFragment(ruleKey("a.b"));
        FAIL() << "bound";
    } catch (const PreferenceFragmentIssue& issue) {
        EXPECT_EQ(issue, PreferenceFragmentIssue::unexpectedRule(app("c.d")));
    }
    EXPECT_EQ(policy.fragmentIssue(), std::nullopt);
    // Still unbound: the enabled fragment can be tried, and another rule for c.d merges.
    EXPECT_THROW(policy.bindFragment(PreferenceFragment::enabled()), PreferenceFragmentIssue);
    EXPECT_EQ(
        policy.receive(encode(payload(std::nullopt, {rule("e.f", 1, center)})), cloudAvailable, true).kind(),
        PreferencePublication::Kind::publish);
}

// --- receiving: the cloud's state

TEST(Receive, CloudStatesAnswerWithTheirIssue) {
    PreferencePolicy policy(payload(onOff(true, 1)), PreferenceFragment::enabled());
    EXPECT_EQ(policy.receive(std::nullopt, PreferenceCloudState::quotaExceeded, true),
              Publication::localOnly(PreferenceIssue::storageLimit));
    EXPECT_EQ(policy.issue(), PreferenceIssue::storageLimit);
    EXPECT_EQ(policy.availability(), available);
    // Later edits are applied but not published while the quota is exceeded.
    EXPECT_EQ(policy.edit(PreferenceEdit::enabled(false), writer),
              Publication::localOnly(PreferenceIssue::storageLimit));
    EXPECT_EQ(policy.snapshot().enabled, onOff(false, 2, writer));

    EXPECT_EQ(policy.receive(encode(payload(onOff(true, 9))), PreferenceCloudState::unavailable, true),
              Publication::localOnly(PreferenceIssue::accountUnavailable));
    EXPECT_EQ(policy.snapshot().enabled, onOff(false, 2, writer))
        << "data is not read while the cloud is unavailable";
    EXPECT_EQ(policy.edit(PreferenceEdit::enabled(true), writer),
              Publication::localOnly(PreferenceIssue::accountUnavailable));

    EXPECT_EQ(policy.receive(std::nullopt, cloudAvailable, true), Publication::publish(policy.snapshot()));
    EXPECT_EQ(policy.issue(), std::nullopt);
}

TEST(Receive, AnAccountChangeLocksThePolicy) {
    PreferencePolicy policy(payload(onOff(true, 1)), PreferenceFragment::enabled());
    EXPECT_EQ(policy.receive(std::nullopt, PreferenceCloudState::accountChanged, true),
              Publication::localOnly(PreferenceIssue::accountChanged));
    EXPECT_TRUE(policy.requiresNewAccountSession());
    EXPECT_EQ(policy.availability(), unavailable);
    const auto snapshot = policy.snapshot();

    const auto locked = Publication::localOnly(PreferenceIssue::accountChanged);
    EXPECT_EQ(policy.receive(encode(payload(onOff(false, 5))), cloudAvailable, true), locked);
    EXPECT_EQ(policy.receive(std::nullopt, PreferenceCloudState::quotaExceeded, true), locked);
    EXPECT_EQ(policy.edit(PreferenceEdit::enabled(false), writer), locked);
    EXPECT_EQ(policy.edit(PreferenceEdit::enabled(false), ""), locked)
        << "the lock comes before the writer check";
    EXPECT_EQ(policy.snapshot(), snapshot);
    EXPECT_EQ(policy.issue(), PreferenceIssue::accountChanged);
    EXPECT_EQ(policy.availability(), unavailable);
    EXPECT_TRUE(policy.requiresNewAccountSession());
}

TEST(Receive, AnAccountChangeOfProtectedLocalDataStaysInMemory) {
    PreferencePolicy policy(withVersion(3));
    EXPECT_EQ(policy.receive(std::nullopt, PreferenceCloudState::accountChanged, true),
              Publication::volatileOnly(PreferenceIssue::accountChanged));
    EXPECT_EQ(policy.edit(PreferenceEdit::enabled(true), writer),
              Publication::volatileOnly(PreferenceIssue::accountChanged));
}

// --- receiving: an absent key

TEST(Receive, AnAbsentKeyIsFilledOnlyOnceTheCloudIsReadCompletely) {
    const struct {
        const char* name;
        PreferencePayload stored;
        bool readComplete;
        bool publishes;
    } cases[] = {
        {"emptyCompleted", PreferencePayload::empty(), true, false},
        {"onOffCompleted", payload(onOff(false, 1)), true, true},
        {"onlyARemovalMarkerCompleted", payload(std::nullopt, {marker("a.b", 1)}), true, true},
        {"onlyARemovalMarkerStillReading", payload(std::nullopt, {marker("a.b", 1)}), false, false},
    };
    for (const auto& c : cases) {
        PreferencePolicy policy(c.stored);
        EXPECT_EQ(policy.receive(std::nullopt, cloudAvailable, c.readComplete),
                  c.publishes ? Publication::publish(c.stored) : Publication::none())
            << c.name;
        EXPECT_EQ(policy.issue(), std::nullopt) << c.name;
    }
}

TEST(Receive, AnAbsentKeyDoesNotOverwriteProtectedCloudData) {
    PreferencePolicy policy(payload(onOff(false, 1)), PreferenceFragment::enabled());
    ASSERT_EQ(policy.receive("not json", cloudAvailable, true),
              Publication::localOnly(PreferenceIssue::invalidPayload));
    EXPECT_EQ(policy.receive(std::nullopt, cloudAvailable, true), Publication::none());
    EXPECT_EQ(policy.issue(), PreferenceIssue::invalidPayload);
}

// --- receiving: rejected data

struct RejectionCase {
    const char* name;
    std::string data;
    PreferenceIssue issue;
};

void PrintTo(const RejectionCase& c, std::ostream* os) {
    *os << c.name;
}

class Rejection : public testing::TestWithParam<RejectionCase> {};

TEST_P(Rejection, KeepsTheSnapshotAndProtectsTheCloudValue) {
    const auto& c = GetParam();
    const auto stored = payload(std::nullopt, {rule("a.b", 4, center)});
    PreferencePolicy policy(stored, ruleKey("a.b"));
    EXPECT_EQ(policy.receive(c.data, cloudAvailable, true), Publication::localOnly(c.issue));
    EXPECT_EQ(policy.snapshot(), stored);
    EXPECT_EQ(policy.issue(), c.issue);
    // A rule key holds no on/off value, so a rejection makes it unavailable.
    EXPECT_EQ(policy.availability(), unavailable);
    EXPECT_EQ(policy.fragmentIssue(), std::nullopt);
    // The unreadable cloud value is not overwritten by an edit.
    EXPECT_EQ(policy.edit(PreferenceEdit::rule(app("a.b"), maximize), writer),
              Publication::localOnly(c.issue));
    EXPECT_EQ(policy.snapshot().action(app("a.b")), maximize);
    EXPECT_EQ(policy.availability(), available);
}

std::string ruleJson(const char* application, std::uint64_t counter, const char* extra = "") {
    return std::string(R"({"app":")") + application + R"(","action":"center","revision":{"counter":)" +
           std::to_string(counter) + R"(,"writer":"W"})" + extra + "}";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Rejection,
    testing::Values(
        RejectionCase{"notJson", "{\"version\":1,", PreferenceIssue::invalidPayload},
        RejectionCase{"byteOrderMark", "\xEF\xBB\xBF{\"version\":1,\"rules\":[]}",
                      PreferenceIssue::invalidPayload},
        RejectionCase{"garbageAfterANul", std::string(R"({"version":1,"rules":[]})") + '\0' + "\xFF not json",
                      PreferenceIssue::invalidPayload},
        RejectionCase{"futureVersionOtherwiseUnreadable", R"({"version":2,"rules":"later","enabled":7})",
                      PreferenceIssue::futureVersion},
        RejectionCase{"versionZero", R"({"version":0,"rules":[]})", PreferenceIssue::invalidPayload},
        RejectionCase{"negativeVersion", R"({"version":-3,"rules":[]})", PreferenceIssue::invalidPayload},
        RejectionCase{"versionWithFraction", R"({"version":2.0,"rules":[]})",
                      PreferenceIssue::invalidPayload},
        RejectionCase{"versionOutOfRange", R"({"version":9223372036854775808,"rules":[]})",
                      PreferenceIssue::invalidPayload},
        RejectionCase{"noVersion", R"({"rules":[]})", PreferenceIssue::invalidPayload},
        RejectionCase{"undecodableRule", R"({"version":1,"rules":[{"app":"a.b"}]})",
                      PreferenceIssue::invalidPayload},
        RejectionCase{"refusedApplication", R"({"version":1,"rules":[)" + ruleJson("a_b.c", 5) + "]}",
                      PreferenceIssue::invalidPayload},
        RejectionCase{"invalidCounter", R"({"version":1,"rules":[)" + ruleJson("a.b", 0) + "]}",
                      PreferenceIssue::invalidPayload},
        RejectionCase{"oneApplicationTwice",
                      R"({"version":1,"rules":[)" + ruleJson("a.b", 5) + "," + ruleJson("a.b", 6) + "]}",
                      PreferenceIssue::invalidPayload},
        // Nesting as deep as the limit allows must not exhaust the stack.
        RejectionCase{"deeplyNestedArrays", std::string(16'384, '[') + std::string(16'384, ']'),
                      PreferenceIssue::invalidPayload},
        RejectionCase{"oversizedGarbage", std::string(32'769, '#'), PreferenceIssue::storageLimit},
        RejectionCase{"exactlyTheLimitIsDecoded", std::string(32'768, '#'), PreferenceIssue::invalidPayload}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Receive, ARejectionLeavesAKnownOnOffValueUsable) {
    PreferencePolicy policy(payload(onOff(false, 2)), PreferenceFragment::enabled());
    EXPECT_EQ(policy.receive("[]", cloudAvailable, true),
              Publication::localOnly(PreferenceIssue::invalidPayload));
    EXPECT_EQ(policy.availability(), available);
}

TEST(Receive, APayloadOfAnotherKeyIsAFragmentIssue) {
    const auto stored = payload(std::nullopt, {rule("a.b", 4, center)});
    PreferencePolicy policy(stored, ruleKey("a.b"));
    EXPECT_EQ(policy.receive(encode(payload(std::nullopt, {rule("c.d", 9, maximize)})), cloudAvailable, true),
              Publication::localOnly(PreferenceIssue::invalidPayload));
    EXPECT_EQ(policy.fragmentIssue(), PreferenceFragmentIssue::unexpectedRule(app("c.d")));
    EXPECT_EQ(policy.issue(), PreferenceIssue::invalidPayload);
    EXPECT_EQ(policy.availability(), unavailable);
    EXPECT_EQ(policy.snapshot(), stored);

    // A good cloud value clears the mismatch and the protection.
    EXPECT_EQ(policy.receive(encode(payload(std::nullopt, {rule("a.b", 5, maximize)})), cloudAvailable, true),
              Publication::none());
    EXPECT_EQ(policy.fragmentIssue(), std::nullopt);
    EXPECT_EQ(policy.issue(), std::nullopt);
    EXPECT_EQ(policy.availability(), available);
    EXPECT_EQ(policy.edit(PreferenceEdit::removeRule(app("a.b")), writer).kind(),
              PreferencePublication::Kind::publish);
}

TEST(Receive, AnOnOffPayloadWithRulesIsRefusedByTheEnabledKeyEvenWithAnOnOffValue) {
    PreferencePolicy policy(payload(onOff(true, 2)), PreferenceFragment::enabled());
    EXPECT_EQ(
        policy.receive(encode(payload(onOff(false, 3), {rule("a.b", 1, center)})), cloudAvailable, true),
        Publication::localOnly(PreferenceIssue::invalidPayload));
    EXPECT_EQ(policy.fragmentIssue(), PreferenceFragmentIssue::rulesInEnabled());
    EXPECT_EQ(policy.availability(), unavailable);
    EXPECT_TRUE(policy.snapshot().operationEnabled());
}

// --- receiving: merging

TEST(Receive, DataOfExactlyTheLimitIsDecodedAndMerged) {
    // A valid payload padded with an unknown key to exactly 32,768 bytes of ASCII.
    const std::string head = R"({"version":1,"rules":[)" + ruleJson("a.b", 3) + R"(],"padding":")";
    const std::string tail = "\"}";
    const std::string data = head + std::string(32'768 - head.size() - tail.size(), 'p') + tail;
    ASSERT_EQ(data.size(), 32'768u);
    PreferencePolicy policy(PreferencePayload::empty(), ruleKey("a.b"));
    // The cloud holds the merged state already: unknown keys are not part of the payload.
    EXPECT_EQ(policy.receive(data, cloudAvailable, true), Publication::none());
    EXPECT_EQ(policy.snapshot(), payload(std::nullopt, {rule("a.b", 3, center)}));

    // One byte more is refused before it is read.
    PreferencePolicy other(PreferencePayload::empty(), ruleKey("a.b"));
    EXPECT_EQ(other.receive(data + " ", cloudAvailable, true),
              Publication::localOnly(PreferenceIssue::storageLimit));
    EXPECT_EQ(other.snapshot(), PreferencePayload::empty());
}

TEST(Receive, ADeeplyNestedUnknownKeyIsIgnored) {
    const std::string head = R"({"version":1,"rules":[)" + ruleJson("a.b", 3) + R"(],"x":)";
    const std::size_t depth = (32'768 - head.size() - 2) / 6;
    std::string data = head;
    for (std::size_t i = 0; i < depth; ++i)
        data += R"({"x":)";
    data += "0" + std::string(depth, '}') + "}";
    ASSERT_LE(data.size(), 32'768u);
    PreferencePolicy policy(PreferencePayload::empty(), ruleKey("a.b"));
    EXPECT_EQ(policy.receive(data, cloudAvailable, true), Publication::none());
    EXPECT_EQ(policy.snapshot().action(app("a.b")), center);
}

TEST(Receive, PublishesOnlyWhatTheCloudLacks) {
    const auto stored = payload(onOff(true, 2), {rule("a.b", 1, center), rule("c.d", 3, maximize)});
    PreferencePolicy policy(stored);
    EXPECT_EQ(policy.receive(encode(stored), cloudAvailable, true), Publication::none());

    const auto lacking = payload(onOff(true, 2), {rule("c.d", 3, maximize)});
    EXPECT_EQ(policy.receive(encode(lacking), cloudAvailable, true), Publication::publish(stored));
    EXPECT_EQ(policy.snapshot(), stored);

    const auto newer = payload(onOff(false, 7, "X"), {rule("a.b", 1, center), rule("c.d", 3, maximize)});
    EXPECT_EQ(policy.receive(encode(newer), cloudAvailable, true), Publication::none());
    EXPECT_EQ(policy.snapshot(), newer);
}

TEST(Receive, UnsortedCloudRulesArePublishedBackSorted) {
    PreferencePolicy policy(PreferencePayload::empty());
    const auto unsorted = payload(std::nullopt, {rule("c.d", 1, center), rule("a.b", 2, center)});
    auto sorted = unsorted;
    sorted.sortRules();
    EXPECT_EQ(policy.receive(encode(unsorted), cloudAvailable, true), Publication::publish(sorted));
}

TEST(Receive, AMergeBeyondTheLimitIsRejected) {
    // Two halves that fit on their own but not together.
    PreferencePayload first;
    PreferencePayload second;
    const auto big = oversizedPayload();
    for (std::size_t i = 0; i < big.rules.size(); ++i) {
        (i < big.rules.size() / 2 ? first : second).rules.push_back(big.rules[i]);
    }
    ASSERT_TRUE(first.fitsStorage());
    ASSERT_TRUE(second.fitsStorage());
    PreferencePolicy policy(first);
    EXPECT_EQ(policy.receive(encode(second), cloudAvailable, true),
              Publication::localOnly(PreferenceIssue::storageLimit));
    EXPECT_EQ(policy.snapshot(), first);
    EXPECT_EQ(policy.availability(), unavailable);
}

// --- editing

TEST(Edit, CountsRevisionsUpFromTheHighestCounter) {
    PreferencePolicy policy(PreferencePayload::empty(), PreferenceFragment::enabled());
    EXPECT_EQ(policy.receive(std::nullopt, cloudAvailable, true), Publication::none());
    EXPECT_EQ(policy.edit(PreferenceEdit::enabled(false), writer),
              Publication::publish(payload(onOff(false, 1, writer))));
    EXPECT_EQ(policy.edit(PreferenceEdit::enabled(true), "other"),
              Publication::publish(payload(onOff(true, 2, "other"))));
}

TEST(Edit, ReplacesTheApplicationsRulesAndKeepsThemSorted) {
    PreferencePolicy policy(payload(onOff(true, 4), {rule("c.d", 6, center), marker("a.b", 2)}));
    EXPECT_EQ(policy.edit(PreferenceEdit::rule(app("a.b"), maximize), writer),
              Publication::publish(
                  payload(onOff(true, 4), {rule("a.b", 7, maximize, writer), rule("c.d", 6, center)})));
    EXPECT_EQ(policy.edit(PreferenceEdit::removeRule(app("c.d")), writer),
              Publication::publish(
                  payload(onOff(true, 4), {rule("a.b", 7, maximize, writer), marker("c.d", 8, writer)})));
    EXPECT_EQ(policy.edit(PreferenceEdit::removeRule(app("e.f")), writer).payload()->rules.back(),
              marker("e.f", 9, writer));
}

TEST(Edit, RefusesAnUnusableWriterAndChangesNothingElse) {
    const auto stored = payload(onOff(true, 1));
    // Bytes that are not UTF-8 are no writer text: a stray byte, a cut sequence, an overlong form,
    // an encoded surrogate.
    for (const std::string& bad :
         {std::string(), std::string(129, 'W'), std::string("9A1F\xFF"), std::string("9A1F\xC3"),
          std::string("\xC0\xAF"), std::string("\xED\xA0\x80")}) {
        PreferencePolicy policy(stored);
        EXPECT_EQ(policy.edit(PreferenceEdit::enabled(false), bad), Publication::none());
        EXPECT_EQ(policy.issue(), PreferenceIssue::invalidWriter);
        EXPECT_EQ(policy.snapshot(), stored);
    }
    for (const std::string& good : {std::string(128, 'W'), std::string("caf\xC3\xA9 \xF0\x9F\x98\x80")}) {
        PreferencePolicy policy(stored);
        EXPECT_EQ(policy.edit(PreferenceEdit::enabled(false), good).kind(),
                  PreferencePublication::Kind::publish);
    }
}

TEST(Edit, StopsWhenTheCountersAreExhausted) {
    const auto stored = payload(
        std::nullopt, {marker("a.b", std::numeric_limits<std::uint64_t>::max()), rule("c.d", 1, center)});
    PreferencePolicy policy(stored);
    for (const auto& edit : {PreferenceEdit::enabled(false), PreferenceEdit::rule(app("c.d"), maximize)}) {
        EXPECT_EQ(policy.edit(edit, writer), Publication::none());
        EXPECT_EQ(policy.issue(), PreferenceIssue::revisionExhausted);
        EXPECT_EQ(policy.snapshot(), stored);
    }
    PreferencePolicy almost(payload(onOff(true, std::numeric_limits<std::uint64_t>::max() - 1)));
    EXPECT_EQ(almost.edit(PreferenceEdit::enabled(false), writer).payload()->enabled->revision.counter,
              std::numeric_limits<std::uint64_t>::max());
}

TEST(Edit, AMisdirectedEditMakesTheKeyUnavailableUntilAGoodOne) {
    const struct {
        const char* name;
        PreferenceFragment fragment;
        PreferencePayload stored;
        PreferenceEdit misdirected;
        PreferenceFragmentIssue issue;
        PreferenceEdit good;
    } cases[] = {
        {"ruleOnTheEnabledKey", PreferenceFragment::enabled(), payload(onOff(true, 1)),
         PreferenceEdit::rule(app("a.b"), center), PreferenceFragmentIssue::rulesInEnabled(),
         PreferenceEdit::enabled(false)},
        {"enabledOnARuleKey", ruleKey("a.b"), payload(std::nullopt, {rule("a.b", 1, center)}),
         PreferenceEdit::enabled(false), PreferenceFragmentIssue::enabledInRule(),
         PreferenceEdit::rule(app("a.b"), maximize)},
        {"anotherApplication", ruleKey("a.b"), payload(std::nullopt, {rule("a.b", 1, center)}),
         PreferenceEdit::removeRule(app("c.d")), PreferenceFragmentIssue::unexpectedRule(app("c.d")),
         PreferenceEdit::removeRule(app("a.b"))},
    };
    for (const auto& c : cases) {
        PreferencePolicy policy(c.stored, c.fragment);
        EXPECT_EQ(policy.edit(c.misdirected, writer), Publication::none()) << c.name;
        EXPECT_EQ(policy.fragmentIssue(), c.issue) << c.name;
        EXPECT_EQ(policy.issue(), PreferenceIssue::invalidPayload) << c.name;
        EXPECT_EQ(policy.availability(), unavailable) << c.name;
        EXPECT_EQ(policy.snapshot(), c.stored) << c.name;

        EXPECT_EQ(policy.edit(c.good, writer).kind(), PreferencePublication::Kind::publish) << c.name;
        EXPECT_EQ(policy.fragmentIssue(), std::nullopt) << c.name;
        EXPECT_EQ(policy.issue(), std::nullopt) << c.name;
        EXPECT_EQ(policy.availability(), available) << c.name;
    }
}

TEST(Edit, ARuleEditOnAnUnboundPolicyLeavesAvailabilityAsItWas) {
    PreferencePolicy policy(payload(std::nullopt, {rule("a.b", 1, center)}));
    ASSERT_EQ(policy.receive("garbage", cloudAvailable, true),
              Publication::localOnly(PreferenceIssue::invalidPayload));
    ASSERT_EQ(policy.availability(), unavailable);
    EXPECT_EQ(policy.edit(PreferenceEdit::rule(app("a.b"), maximize), writer),
              Publication::localOnly(PreferenceIssue::invalidPayload));
    EXPECT_EQ(policy.availability(), unavailable);
    EXPECT_EQ(policy.edit(PreferenceEdit::enabled(true), writer),
              Publication::localOnly(PreferenceIssue::invalidPayload));
    EXPECT_EQ(policy.availability(), available);
}

TEST(Edit, AnEditThatWouldNotFitIsRefused) {
    auto stored = oversizedPayload();
    while (!stored.fitsStorage()) {
        stored.rules.pop_back();
    }
    PreferencePolicy policy(stored);
    std::string longApp = "com.z." + std::string(240, 'z');
    EXPECT_EQ(policy.edit(PreferenceEdit::rule(BundleID(longApp), center), writer), Publication::none());
    EXPECT_EQ(policy.issue(), PreferenceIssue::storageLimit);
    EXPECT_EQ(policy.snapshot(), stored);
}

} // namespace
} // namespace tidewright
