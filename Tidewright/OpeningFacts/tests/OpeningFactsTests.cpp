#include "tidewright/openingfacts/ApplicationLifecycle.hpp"
#include "tidewright/openingfacts/OpeningObservationFacts.hpp"
#include "tidewright/openingfacts/OpeningObservationProposal.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace tidewright {
namespace {

using namespace std::chrono_literals;

ProcessID process(const char* app, std::int32_t pid, std::uint64_t incarnation) {
    return ProcessID{BundleID(app), pid, incarnation};
}

DesktopFrame frame(double x, double y, double width, double height) {
    return DesktopFrame(DesktopPoint{Points(x), Points(y)}, WindowSize(Points(width), Points(height)));
}

OpeningObservationFacts baseFacts() {
    OpeningObservationFacts facts;
    facts.operationAllowed = true;
    facts.generation = 7;
    facts.frontmost = process("org.example.Editor", 40, 2);
    facts.rules.emplace(BundleID("org.example.Editor"), OpeningAction::maximize);
    facts.rules.emplace(BundleID("org.example.Viewer"), OpeningAction::center);
    return facts;
}

TEST(OpeningObservationFactsTests, RulesBuiltInAnotherOrderAreEqual) {
    OpeningObservationFacts reversed = baseFacts();
    reversed.rules.clear();
    reversed.rules.emplace(BundleID("org.example.Viewer"), OpeningAction::center);
    reversed.rules.emplace(BundleID("org.example.Editor"), OpeningAction::maximize);
    EXPECT_EQ(baseFacts(), reversed);
}

TEST(OpeningObservationFactsTests, EachFieldTakesPartInEquality) {
    struct Case {
        std::string name;
        std::function<void(OpeningObservationFacts&)> change;
    };
    const std::vector<Case> cases = {
        {"operation not allowed",
         [](auto& f) {
             f.operationAllowed = false;
         }},
        {"generation",
         [](auto& f) {
             f.generation = 8;
         }},
        {"no frontmost",
         [](auto& f) {
             f.frontmost.reset();
         }},
        {"frontmost of another incarnation",
         [](auto& f) {
             f.frontmost->incarnation = 3;
         }},
        {"frontmost of another pid",
         [](auto& f) {
             f.frontmost->pid = 41;
         }},
        {"another action",
         [](auto& f) {
             f.rules.at(BundleID("org.example.Viewer")) = OpeningAction::maximize;
         }},
        {"a rule fewer",
         [](auto& f) {
             f.rules.erase(BundleID("org.example.Viewer"));
         }},
        {"a rule more",
         [](auto& f) {
             f.rules.emplace(BundleID("org.example.Third"), OpeningAction::center);
         }},
    };
    for (const Case& c : cases) {
        OpeningObservationFacts changed = baseFacts();
        c.change(changed);
        EXPECT_NE(baseFacts(), changed) << c.name;
        EXPECT_NE(changed, baseFacts()) << c.name;
    }
}

TEST(OpeningObservationFactsTests, AbsentFrontmostNeverEqualsAPresentOne) {
    OpeningObservationFacts absent;
    OpeningObservationFacts present;
    present.frontmost = process("org.example.Editor", 1, 1);
    EXPECT_NE(absent, present);
    EXPECT_EQ(absent, OpeningObservationFacts{});
}

OpeningObservationProposal baseProposal() {
    const ProcessID editor = process("org.example.Editor", 40, 2);
    return OpeningObservationProposal{
        WindowID{editor, 0x1234},
        frame(10, 20, 300, 200),
        OpeningCycleID{editor, 3},
        OpeningAction::center,
        7,
        platform::ContinuousInstant(100s),
    };
}

TEST(OpeningObservationProposalTests, EachFieldTakesPartInEquality) {
    struct Case {
        std::string name;
        std::function<void(OpeningObservationProposal&)> change;
    };
    const std::vector<Case> cases = {
        {"window token",
         [](auto& p) {
             p.candidateID.token = 0x1235;
         }},
        {"window's process incarnation",
         [](auto& p) {
             p.candidateID.process.incarnation = 3;
         }},
        {"frame origin",
         [](auto& p) {
             p.expectedFrame = frame(11, 20, 300, 200);
         }},
        {"frame size",
         [](auto& p) {
             p.expectedFrame = frame(10, 20, 300, 201);
         }},
        {"cycle ordinal",
         [](auto& p) {
             p.cycle.ordinal = 4;
         }},
        {"cycle's process",
         [](auto& p) {
             p.cycle.process.pid = 41;
         }},
        {"action",
         [](auto& p) {
             p.action = OpeningAction::maximize;
         }},
        {"generation",
         [](auto& p) {
             p.generation = 8;
         }},
        {"expiry one nanosecond later",
         [](auto& p) {
             p.expiresAt += 1ns;
         }},
    };
    for (const Case& c : cases) {
        OpeningObservationProposal changed = baseProposal();
        c.change(changed);
        EXPECT_NE(baseProposal(), changed) << c.name;
    }
    EXPECT_EQ(baseProposal(), baseProposal());
}

TEST(OpeningObservationProposalTests, ZeroEqualsNegativeZeroInTheFrame) {
    OpeningObservationProposal positive = baseProposal();
    positive.expectedFrame = frame(0.0, 0.0, 300, 200);
    OpeningObservationProposal negative = baseProposal();
    negative.expectedFrame = frame(-0.0, -0.0, 300, 200);
    EXPECT_EQ(positive, negative);
}

TEST(ApplicationLifecycleTests, CaseAndProcessBothDecideEquality) {
    const ProcessID first = process("org.example.Editor", 40, 1);
    const ProcessID reused = process("org.example.Editor", 40, 2);
    EXPECT_EQ(ApplicationLifecycle::launched(first), ApplicationLifecycle::launched(first));
    EXPECT_NE(ApplicationLifecycle::launched(first), ApplicationLifecycle::activated(first));
    EXPECT_NE(ApplicationLifecycle::terminated(first), ApplicationLifecycle::terminated(reused));
}

} // namespace
} // namespace tidewright
