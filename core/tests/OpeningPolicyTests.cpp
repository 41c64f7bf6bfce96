#include "tidewright/core/OpeningPolicy.hpp"

#include <gtest/gtest.h>

namespace tidewright {
namespace {

const ProcessID app{BundleID("com.example.editor"), 300, 1};
const ProcessID relaunched{BundleID("com.example.editor"), 300, 2};

OpeningCycleID cycle(std::uint64_t ordinal, const ProcessID& process = app) {
    return {process, ordinal};
}

OpeningCandidate eligible(std::uint64_t token, const ProcessID& process = app) {
    return {WindowID{process, token}, WindowKind::standard, WindowProvenance::notPreviouslyObserved,
            FirstWindowEvidence::firstUniqueObservation, ModalEvidence::nonModal};
}

TEST(OpeningPolicy, BeginSequence) {
    struct Step {
        const char* name;
        OpeningCycleID cycle;
        OpeningEvidence evidence;
        bool accepted;
        std::optional<std::uint64_t> latestAfter;
    };
    const Step steps[] = {
        {"ordinal 0 on a fresh policy", cycle(0), OpeningEvidence::launch, true, 0},
        {"same ordinal again", cycle(0), OpeningEvidence::launch, false, 0},
        {"other incarnation", cycle(1, relaunched), OpeningEvidence::launch, false, 0},
        {"activation with windows", cycle(1), OpeningEvidence::activationOnly, false, 0},
        {"unknown evidence", cycle(1), OpeningEvidence::unknown, false, 0},
        {"activation from no windows", cycle(1), OpeningEvidence::activationFromNoWindows, true, 1},
        {"older ordinal", cycle(0), OpeningEvidence::launch, false, 1},
        {"skipping ahead", cycle(7), OpeningEvidence::launch, true, 7},
    };
    OpeningPolicy policy(app);
    for (const auto& step : steps) {
        const OpeningPolicy before = policy;
        const OpeningAction action = step.accepted ? OpeningAction::center : OpeningAction::maximize;
        EXPECT_EQ(policy.begin(step.cycle, step.evidence, action), step.accepted) << step.name;
        EXPECT_EQ(policy.latest(), step.latestAfter) << step.name;
        if (step.accepted) {
            EXPECT_EQ(policy.opportunity(), (OpeningOpportunity{step.cycle, action})) << step.name;
        } else {
            EXPECT_EQ(policy, before) << step.name;
        }
    }
}

TEST(OpeningPolicy, Evaluate) {
    using Decision = OpeningDecision;
    using enum OpeningRejection;
    OpeningCandidate dialog = eligible(1);
    dialog.kind = WindowKind::dialog;
    OpeningCandidate modalityUnknown = eligible(1);
    modalityUnknown.modality = ModalEvidence::unknown;
    OpeningCandidate returning = eligible(1);
    returning.provenance = WindowProvenance::existingIdentityReturning;
    OpeningCandidate later = eligible(1);
    later.order = FirstWindowEvidence::laterObservation;
    OpeningCandidate foreignDialog = eligible(1, relaunched);
    foreignDialog.kind = WindowKind::dialog;

    struct Case {
        const char* name;
        bool open; // an opportunity for cycle 5 with the action center
        OpeningCycleID cycle;
        std::vector<OpeningCandidate> candidates;
        bool enumerationComplete;
        bool operationAllowed;
        Decision expected;
        bool openAfter;
    };
    const Case cases[] = {
        {"nothing open",
         false,
         cycle(5),
         {eligible(1)},
         false,
         false,
         Decision::rejected(noOpportunity),
         false},
        {"older cycle", true, cycle(4), {eligible(1)}, true, true, Decision::rejected(noOpportunity), true},
        {"other incarnation",
         true,
         cycle(5, relaunched),
         {eligible(1)},
         true,
         true,
         Decision::rejected(noOpportunity),
         true},
        {"not allowed before incomplete",
         true,
         cycle(5),
         {eligible(1)},
         false,
         false,
         Decision::rejected(invalidated),
         false},
        {"older cycle while not allowed",
         true,
         cycle(4),
         {eligible(1)},
         false,
         false,
         Decision::rejected(noOpportunity),
         true},
        {"not allowed with no candidate yet",
         true,
         cycle(5),
         {},
         true,
         false,
         Decision::rejected(invalidated),
         false},
        {"incomplete", true, cycle(5), {}, false, true, Decision::rejected(ambiguous), false},
        {"no candidate yet", true, cycle(5), {}, true, true, Decision::wait(), true},
        {"foreign before count",
         true,
         cycle(5),
         {eligible(1), eligible(2, relaunched)},
         true,
         true,
         Decision::rejected(wrongProcess),
         false},
        {"foreign before eligibility",
         true,
         cycle(5),
         {foreignDialog},
         true,
         true,
         Decision::rejected(wrongProcess),
         false},
        {"two eligible",
         true,
         cycle(5),
         {eligible(1), eligible(2)},
         true,
         true,
         Decision::rejected(ambiguous),
         false},
        {"dialog", true, cycle(5), {dialog}, true, true, Decision::rejected(notEligible), false},
        {"modality unknown",
         true,
         cycle(5),
         {modalityUnknown},
         true,
         true,
         Decision::rejected(notEligible),
         false},
        {"seen before", true, cycle(5), {returning}, true, true, Decision::rejected(notEligible), false},
        {"later observation", true, cycle(5), {later}, true, true, Decision::rejected(notEligible), false},
        {"eligible",
         true,
         cycle(5),
         {eligible(9)},
         true,
         true,
         Decision::apply(WindowID{app, 9}, OpeningAction::center, cycle(5)),
         false},
    };
    for (const auto& row : cases) {
        OpeningPolicy policy(app);
        if (row.open) {
            ASSERT_TRUE(policy.begin(cycle(5), OpeningEvidence::launch, OpeningAction::center));
        }
        EXPECT_EQ(policy.evaluate(row.cycle, row.candidates, row.enumerationComplete, row.operationAllowed),
                  row.expected)
            << row.name;
        EXPECT_EQ(policy.opportunity().has_value(), row.openAfter) << row.name;
        EXPECT_EQ(policy.latest(), row.open ? std::optional<std::uint64_t>(5) : std::nullopt) << row.name;
    }
}

TEST(OpeningPolicy, AnOpportunityLastsUntilItsFirstCompleteEvaluation) {
    OpeningPolicy policy(app);
    ASSERT_TRUE(policy.begin(cycle(1), OpeningEvidence::launch, OpeningAction::maximize));
    ASSERT_TRUE(policy.begin(cycle(2), OpeningEvidence::launch, OpeningAction::center));
    // The superseded cycle is answered without disturbing the newer one.
    EXPECT_EQ(policy.evaluate(cycle(1), {eligible(1)}, true, true),
              OpeningDecision::rejected(OpeningRejection::noOpportunity));
    EXPECT_EQ(policy.evaluate(cycle(2), {}, true, true), OpeningDecision::wait());
    EXPECT_EQ(policy.evaluate(cycle(2), {eligible(1)}, true, true),
              OpeningDecision::apply(WindowID{app, 1}, OpeningAction::center, cycle(2)));
    EXPECT_EQ(policy.evaluate(cycle(2), {eligible(1)}, true, true),
              OpeningDecision::rejected(OpeningRejection::noOpportunity));
}

TEST(OpeningPolicy, InvalidateKeepsTheCycleUsedUp) {
    OpeningPolicy policy(app);
    ASSERT_TRUE(policy.begin(cycle(3), OpeningEvidence::launch, OpeningAction::maximize));
    policy.invalidate();
    EXPECT_EQ(policy.opportunity(), std::nullopt);
    EXPECT_EQ(policy.evaluate(cycle(3), {eligible(1)}, true, true),
              OpeningDecision::rejected(OpeningRejection::noOpportunity));
    EXPECT_FALSE(policy.begin(cycle(3), OpeningEvidence::launch, OpeningAction::maximize));
    EXPECT_TRUE(policy.begin(cycle(4), OpeningEvidence::activationFromNoWindows, OpeningAction::maximize));
}

} // namespace
} // namespace tidewright
