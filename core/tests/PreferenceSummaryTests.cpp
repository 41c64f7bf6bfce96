#include "tidewright/core/PreferenceSummary.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "PreferenceTestSupport.hpp"

namespace tidewright {
namespace {

using namespace testing_support;

const std::string writer = "5D2B-01";

using Issue = PreferenceSummaryIssue;
using Origin = PreferenceIssueOrigin;

PreferencePolicy freshOnOff() {
    return PreferencePolicy(PreferencePayload::empty());
}

PreferencePolicy rulePolicy(const char* application, std::optional<OpeningAction> action) {
    return PreferencePolicy(payload(std::nullopt, {rule(application, 1, action)}),
                            PreferenceFragment::rule(app(application)));
}

PreferenceSummary summaryOf(const PreferencePolicy& enabled,
                            const std::map<BundleID, PreferencePolicy>& rules = {},
                            const std::vector<PreferenceIssue>& unknown = {}) {
    return PreferenceSummary(enabled, rules, unknown);
}

TEST(PreferenceSummary, NothingEverStored) {
    const auto summary = summaryOf(freshOnOff());
    EXPECT_EQ(summary.enabledAvailability(), available);
    EXPECT_TRUE(summary.operationEnabled());
    EXPECT_TRUE(summary.usableRules().empty());
    EXPECT_TRUE(summary.issues().empty());
}

TEST(PreferenceSummary, OnOffValueInForce) {
    PreferencePolicy off(payload(onOff(false, 3)), PreferenceFragment::enabled());
    EXPECT_FALSE(summaryOf(off).operationEnabled());
    EXPECT_EQ(summaryOf(off).enabledAvailability(), available);

    // A cloud value that was too large leaves the known value in force, with its notice.
    ASSERT_EQ(off.receive(std::string(40'000, ' '), PreferenceCloudState::available, true),
              PreferencePublication::localOnly(PreferenceIssue::storageLimit));
    const auto summary = summaryOf(off);
    EXPECT_EQ(summary.enabledAvailability(), available);
    EXPECT_FALSE(summary.operationEnabled());
    EXPECT_EQ(
        summary.issues(),
        (std::vector{PreferenceNotice{Origin::enabled(), Issue::preference(PreferenceIssue::storageLimit)}}));
}

TEST(PreferenceSummary, AnUnusableOnOffPreferenceIsOff) {
    PreferencePolicy accountChanged(payload(onOff(true, 1)), PreferenceFragment::enabled());
    accountChanged.receive(std::nullopt, PreferenceCloudState::accountChanged, true);
    PreferencePolicy misdirected(payload(onOff(true, 1)), PreferenceFragment::enabled());
    misdirected.edit(PreferenceEdit::rule(app("a.b"), center), writer);

    const struct {
        const char* name;
        PreferencePolicy policy;
        PreferenceSummaryIssue notice;
    } cases[] = {
        {"unreadableCache", PreferencePolicy(payload(onOff(true, 0))),
         Issue::preference(PreferenceIssue::invalidPayload)},
        {"futureVersionCache", PreferencePolicy(withVersion(2)),
         Issue::preference(PreferenceIssue::futureVersion)},
        {"accountChanged", accountChanged, Issue::preference(PreferenceIssue::accountChanged)},
        {"misdirectedEdit", misdirected, Issue::fragment(PreferenceFragmentIssue::rulesInEnabled())},
        // An unbound policy whose snapshot holds rules is not an on/off preference.
        {"rulesInTheSnapshot", PreferencePolicy(payload(onOff(true, 2), {rule("a.b", 1, center)})),
         Issue::fragment(PreferenceFragmentIssue::rulesInEnabled())},
    };
    for (const auto& c : cases) {
        const auto summary = summaryOf(c.policy);
        EXPECT_EQ(summary.enabledAvailability(), unavailable) << c.name;
        EXPECT_FALSE(summary.operationEnabled()) << c.name;
        ASSERT_FALSE(summary.issues().empty()) << c.name;
        EXPECT_EQ(summary.issues().front(), (PreferenceNotice{Origin::enabled(), c.notice})) << c.name;
    }
}

TEST(PreferenceSummary, RulesInForceAndNoticesInOrder) {
    auto b = rulePolicy("com.b.app", center);
    b.receive(std::nullopt, PreferenceCloudState::unavailable, true);
    ASSERT_EQ(b.issue(), PreferenceIssue::accountUnavailable);

    std::map<BundleID, PreferencePolicy> rules;
    rules.emplace(app("com.b.app"), b);
    rules.emplace(app("com.a.app"), rulePolicy("com.a.app", maximize));
    rules.emplace(app("com.c.app"), rulePolicy("com.c.app", std::nullopt));

    PreferencePolicy onOffPolicy(payload(onOff(true, 1)));
    onOffPolicy.receive("{", PreferenceCloudState::available, true);

    const auto summary =
        summaryOf(onOffPolicy, rules, {PreferenceIssue::futureVersion, PreferenceIssue::invalidPayload});
    EXPECT_EQ(summary.usableRules(),
              (std::map<BundleID, OpeningAction>{{app("com.a.app"), maximize}, {app("com.b.app"), center}}));
    EXPECT_EQ(summary.issues(),
              (std::vector{
                  PreferenceNotice{Origin::enabled(), Issue::preference(PreferenceIssue::invalidPayload)},
                  PreferenceNotice{Origin::rule(app("com.b.app")),
                                   Issue::preference(PreferenceIssue::accountUnavailable)},
                  PreferenceNotice{Origin::unknownRule(), Issue::preference(PreferenceIssue::futureVersion)},
                  PreferenceNotice{Origin::unknownRule(), Issue::preference(PreferenceIssue::invalidPayload)},
              }));
}

TEST(PreferenceSummary, RuleKeysThatCannotBeUsed) {
    auto rejected = rulePolicy("com.a.app", center);
    rejected.receive("not json", PreferenceCloudState::available, true);

    auto misdirected = rulePolicy("com.a.app", center);
    misdirected.receive(encode(payload(std::nullopt, {rule("com.z.app", 4, maximize)})),
                        PreferenceCloudState::available, true);

    auto accountChanged = rulePolicy("com.a.app", center);
    accountChanged.receive(std::nullopt, PreferenceCloudState::accountChanged, true);

    const struct {
        const char* name;
        PreferencePolicy policy;
        PreferenceSummaryIssue notice;
    } cases[] = {
        // A rule key holds no on/off value, so a rejected cloud value makes it unusable.
        {"rejectedCloudValue", rejected, Issue::preference(PreferenceIssue::invalidPayload)},
        {"cloudValueOfAnotherKey", misdirected,
         Issue::fragment(PreferenceFragmentIssue::unexpectedRule(app("com.z.app")))},
        {"accountChanged", accountChanged, Issue::preference(PreferenceIssue::accountChanged)},
        // Filed under one application, holding another's rule, never bound.
        {"unboundSnapshotOfAnotherApplication",
         PreferencePolicy(payload(std::nullopt, {rule("com.z.app", 1, center)})),
         Issue::fragment(PreferenceFragmentIssue::unexpectedRule(app("com.z.app")))},
    };
    for (const auto& c : cases) {
        std::map<BundleID, PreferencePolicy> rules;
        rules.emplace(app("com.a.app"), c.policy);
        const auto summary = summaryOf(freshOnOff(), rules);
        EXPECT_TRUE(summary.usableRules().empty()) << c.name;
        EXPECT_EQ(summary.issues(), (std::vector{PreferenceNotice{Origin::rule(app("com.a.app")), c.notice}}))
            << c.name;
    }
}

} // namespace
} // namespace tidewright
