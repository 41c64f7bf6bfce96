// The execution owner over a scripted window service and a fake coordinator, on the manual executor:
// which action runs when, what reaches the coordinator in which order, and which outcomes are reported.

#include "tidewright/windowcontrol/WindowExecutionOwner.hpp"

#include "platform/concurrency/Continuation.hpp"
#include "platform/concurrency/ManualExecutor.hpp"

#include "FakeOpeningCoordinator.hpp"
#include "HeldCalls.hpp"
#include "WindowControlTestSupport.hpp"

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidewright {

// Outcomes print through the PrintTo beside the service's tests in this executable.
void PrintTo(const WindowOperationOutcome& outcome, std::ostream* out);

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Every run waits at its reads until the test finishes them, then awaits the gate once, as the real
// service does right before its first write, and, for an automatic run, reports the frame it read.
class ScriptedWindowOperations final : public WindowOperationPerforming {
public:
    struct Run {
        std::string what;
        Authorize authorize;
        Observe observe;
        std::optional<platform::Continuation<>> reads;
        std::optional<bool> gate;
    };

    std::vector<std::shared_ptr<Run>> runs;
    int cancels = 0;
    DesktopFrame frame = frameOf(0, 0, 960, 1040);
    ContinuousInstant deadline{std::chrono::hours(2)};

    platform::Async<WindowOperationOutcome> perform(FixedShortcut shortcut, Authorize authorize) override {
        return run(std::make_shared<Run>(Run{"perform " + std::string(rawValue(shortcut)),
                                             std::move(authorize),
                                             {},
                                             std::nullopt,
                                             std::nullopt}));
    }
    platform::Async<WindowOperationOutcome> performCorrelated(OpeningObservationProposal proposal,
                                                              Authorize authorize, Observe observe) override {
        return run(
            std::make_shared<Run>(Run{"correlated " + std::to_string(proposal.candidateID.token),
                                      std::move(authorize), std::move(observe), std::nullopt, std::nullopt}));
    }
    void cancel() override { ++cancels; }

    std::vector<std::string> started() const {
        std::vector<std::string> names;
        for (const auto& run : runs) {
            names.push_back(run->what);
        }
        return names;
    }

    // Lets run index past its reads; answers whether it was waiting there.
    bool finishReads(std::size_t index) {
        if (index >= runs.size() || !runs[index]->reads) {
            return false;
        }
        const platform::Continuation<> next = *runs[index]->reads;
        runs[index]->reads.reset();
        next.resume();
        return true;
    }

private:
    platform::Async<WindowOperationOutcome> run(std::shared_ptr<Run> run) {
        runs.push_back(run);
        Run* raw = run.get();
        co_await platform::withContinuation<void>(
            "scripted reads", [raw](platform::Continuation<> next) { raw->reads = next; });
        run->gate = co_await run->authorize();
        if (!*run->gate) {
            co_return WindowOperationOutcome::blocked();
        }
        if (run->observe && !co_await run->observe(deadline, frame)) {
            co_return WindowOperationOutcome::invalidated();
        }
        co_return WindowOperationOutcome::observed(frame);
    }
};

const ProcessID editor{BundleID("org.example.Editor"), 40, 1};
const ProcessID viewer{BundleID("org.example.Viewer"), 41, 1};
const ContinuousInstant received{std::chrono::hours(1)};

class WindowExecutionOwnerTest : public ::testing::Test {
protected:
    WindowExecutionOwnerTest() {
        facts.operationAllowed = true;
        facts.generation = 5;
        facts.frontmost = editor;
        facts.rules.emplace(editor.app, OpeningAction::maximize);
    }

    ~WindowExecutionOwnerTest() override {
        // Whatever a test left waiting ends, so no task outlives the fixture.
        opening->held.releaseAll();
        for (std::size_t index = 0; index < windows->runs.size(); ++index) {
            windows->finishReads(index);
        }
        heldAuthorizations.releaseAll();
        executor.runUntilIdle();
    }

    OpeningObservationProposal proposal(std::uint64_t token = 7) const {
        return OpeningObservationProposal{WindowID{editor, token},   frameOf(100, 100, 500, 400),
                                          OpeningCycleID{editor, 1}, OpeningAction::maximize,
                                          facts.generation,          received + std::chrono::seconds(10)};
    }

    void startRunning() {
        owner->start({editor, viewer});
        executor.runUntilIdle();
    }

    platform::ManualExecutor executor;
    std::shared_ptr<ScriptedWindowOperations> windows = std::make_shared<ScriptedWindowOperations>();
    std::shared_ptr<FakeOpeningCoordinator> opening = std::make_shared<FakeOpeningCoordinator>();
    OpeningObservationFacts facts;
    bool authorizes = true;
    HeldCalls heldAuthorizations;
    int authorizations = 0;
    int invalidations = 0;
    std::vector<WindowOperationOutcome> outcomes;
    std::shared_ptr<WindowExecutionOwner> owner = WindowExecutionOwner::make(
        executor, windows, opening, [this] { return facts; },
        [this]() -> platform::Async<bool> {
            ++authorizations;
            co_await heldAuthorizations.pause();
            co_return authorizes;
        },
        [this] { ++invalidations; },
        [this](const WindowOperationOutcome& outcome) { outcomes.push_back(outcome); });
};

TEST_F(WindowExecutionOwnerTest, StartHandsTheProcessesToTheCoordinatorOnALaterTurnAndOnlyOnce) {
    owner->start({editor, viewer});
    EXPECT_THAT(opening->log, IsEmpty());
    owner->start({viewer});
    executor.runUntilIdle();
    EXPECT_THAT(opening->log, ElementsAre("start 40,41"));
    EXPECT_TRUE(owner->isRunning());
}

TEST_F(WindowExecutionOwnerTest, NothingStartsWhileNotRunningOrNotAllowedOrUnclaimed) {
    struct Case {
        const char* name;
        bool run;
        bool allowed;
    };
    for (const Case c : {Case{"not running", false, true}, Case{"operation not allowed", true, false}}) {
        SCOPED_TRACE(c.name);
        facts.operationAllowed = c.allowed;
        if (c.run) {
            startRunning();
        }
        owner->perform(FixedShortcut::left);
        owner->performAutomatic(proposal());
        executor.runUntilIdle();
        EXPECT_THAT(windows->started(), IsEmpty());
        EXPECT_FALSE(owner->executionKind());
        owner->stop();
    }
    // A refused claim: the proposal is offered to the coordinator, and nothing runs.
    facts.operationAllowed = true;
    opening->claims = false;
    opening->log.clear();
    startRunning();
    owner->performAutomatic(proposal());
    executor.runUntilIdle();
    EXPECT_THAT(opening->calls("claim"), ElementsAre("claim"));
    EXPECT_THAT(windows->started(), IsEmpty());
}

TEST_F(WindowExecutionOwnerTest, ASecondPressWhileAManualActionRunsIsDroppedAndTheFirstIsReported) {
    startRunning();
    owner->perform(FixedShortcut::left);
    executor.runUntilIdle();
    owner->perform(FixedShortcut::right);
    executor.runUntilIdle();
    EXPECT_THAT(windows->started(), ElementsAre("perform left"));
    EXPECT_EQ(windows->cancels, 0);

    windows->finishReads(0);
    executor.runUntilIdle();
    EXPECT_THAT(outcomes, ElementsAre(WindowOperationOutcome::observed(windows->frame)));
    EXPECT_FALSE(owner->executionKind());
    EXPECT_EQ(authorizations, 1);
    EXPECT_EQ(invalidations, 0);
}

TEST_F(WindowExecutionOwnerTest, APressDuringAnAutomaticActionCancelsItAndOnlyTheManualOutcomeIsReported) {
    startRunning();
    owner->performAutomatic(proposal());
    executor.runUntilIdle();
    ASSERT_THAT(windows->started(), ElementsAre("correlated 7"));
    ASSERT_EQ(owner->executionKind(), ExecutionKind::automatic);

    owner->perform(FixedShortcut::up);
    EXPECT_EQ(invalidations, 1);
    EXPECT_EQ(windows->cancels, 1);
    EXPECT_EQ(owner->executionKind(), ExecutionKind::manual);
    executor.runUntilIdle();
    EXPECT_THAT(windows->started(), ElementsAre("correlated 7", "perform up"));

    // The automatic run comes back late: its gate refuses the write and nothing of it is reported.
    windows->finishReads(0);
    executor.runUntilIdle();
    EXPECT_EQ(windows->runs[0]->gate, false);
    EXPECT_THAT(outcomes, IsEmpty());
    EXPECT_THAT(opening->calls("complete"), IsEmpty());

    windows->finishReads(1);
    executor.runUntilIdle();
    EXPECT_THAT(outcomes, ElementsAre(WindowOperationOutcome::observed(windows->frame)));
    EXPECT_EQ(invalidations, 1);
}

TEST_F(WindowExecutionOwnerTest, AnAutomaticActionReportsItsFramesToTheCoordinatorAndEndsWithItsAnswer) {
    for (const bool confirms : {true, false}) {
        SCOPED_TRACE(confirms ? "confirmed" : "refused");
        opening->completes = confirms;
        startRunning();
        owner->performAutomatic(proposal());
        executor.runUntilIdle();
        windows->finishReads(windows->runs.size() - 1);
        executor.runUntilIdle();
        ASSERT_EQ(opening->completed.size(), 1u);
        EXPECT_EQ(opening->completed[0], proposal());
        EXPECT_THAT(outcomes, ElementsAre(confirms ? WindowOperationOutcome::observed(windows->frame)
                                                   : WindowOperationOutcome::invalidated()));
        owner->stop();
        opening->completed.clear();
        outcomes.clear();
    }
}

TEST_F(WindowExecutionOwnerTest, AProposalWhileAnyActionRunsIsNotClaimed) {
    for (const bool manual : {true, false}) {
        SCOPED_TRACE(manual ? "manual running" : "automatic running");
        startRunning();
        if (manual) {
            owner->perform(FixedShortcut::c);
        } else {
            owner->performAutomatic(proposal(7));
        }
        executor.runUntilIdle();
        const std::size_t claims = opening->calls("claim").size();
        owner->performAutomatic(proposal(8));
        executor.runUntilIdle();
        EXPECT_EQ(opening->calls("claim").size(), claims);
        EXPECT_EQ(windows->runs.size(), 1u);
        owner->stop();
        windows->finishReads(0);
        executor.runUntilIdle();
        windows->runs.clear();
    }
    EXPECT_THAT(outcomes, IsEmpty());
}

TEST_F(WindowExecutionOwnerTest,
       EventsQueuedBeforeAClaimAllReachTheCoordinatorBeforeTheAutomaticActionStarts) {
    startRunning();
    opening->held.hold = true;
    owner->receive(ApplicationLifecycle::launched(viewer), received);
    owner->receive(ApplicationLifecycle::activated(viewer), received);
    executor.runUntilIdle();
    ASSERT_THAT(opening->calls("receive"), ElementsAre("receive launched 41"));

    owner->performAutomatic(proposal());
    executor.runUntilIdle();
    EXPECT_THAT(opening->calls("claim"), ElementsAre("claim"));
    EXPECT_THAT(windows->started(), IsEmpty());

    opening->held.release();
    executor.runUntilIdle();
    EXPECT_THAT(opening->calls("receive"), ElementsAre("receive launched 41", "receive activated 41"));
    EXPECT_THAT(windows->started(), IsEmpty());

    opening->held.release();
    executor.runUntilIdle();
    EXPECT_THAT(windows->started(), ElementsAre("correlated 7"));
}

TEST_F(WindowExecutionOwnerTest, AHotKeyWaitsForNoQueuedEvent) {
    startRunning();
    opening->held.hold = true;
    owner->receive(ApplicationLifecycle::launched(viewer), received);
    executor.runUntilIdle();
    owner->perform(FixedShortcut::d);
    executor.runUntilIdle();
    EXPECT_THAT(windows->started(), ElementsAre("perform d"));
    EXPECT_EQ(opening->held.size(), 1u);
}

TEST_F(WindowExecutionOwnerTest, ARefusedAuthorisationBlocksTheWriteAndReportsNothing) {
    authorizes = false;
    startRunning();
    owner->perform(FixedShortcut::left);
    executor.runUntilIdle();
    windows->finishReads(0);
    executor.runUntilIdle();
    EXPECT_EQ(windows->runs[0]->gate, false);

    owner->performAutomatic(proposal());
    executor.runUntilIdle();
    windows->finishReads(1);
    executor.runUntilIdle();
    EXPECT_EQ(windows->runs[1]->gate, false);
    EXPECT_THAT(opening->calls("complete"), IsEmpty());
    EXPECT_THAT(outcomes, IsEmpty());
    EXPECT_FALSE(owner->executionKind());
}

TEST_F(WindowExecutionOwnerTest, TheAuthorisationOverlapsTheReadsAndIsAskedOncePerAction) {
    heldAuthorizations.hold = true;
    startRunning();
    owner->perform(FixedShortcut::left);
    executor.runUntilIdle();
    // Asked while the reads are still out.
    EXPECT_EQ(authorizations, 1);
    windows->finishReads(0);
    executor.runUntilIdle();
    EXPECT_FALSE(windows->runs[0]->gate.has_value());
    heldAuthorizations.releaseAll();
    executor.runUntilIdle();
    EXPECT_EQ(windows->runs[0]->gate, true);
    EXPECT_EQ(authorizations, 1);
    EXPECT_THAT(outcomes, ElementsAre(WindowOperationOutcome::observed(windows->frame)));
}

TEST_F(WindowExecutionOwnerTest, FactsThatChangedUnannouncedDuringTheActionDropItsOutcome) {
    startRunning();
    owner->perform(FixedShortcut::left);
    executor.runUntilIdle();
    facts.generation += 1;
    windows->finishReads(0);
    executor.runUntilIdle();
    EXPECT_EQ(windows->runs[0]->gate, false);
    EXPECT_THAT(outcomes, IsEmpty());
    EXPECT_FALSE(owner->executionKind());
}

TEST_F(WindowExecutionOwnerTest, StopMidActionLeavesNothingRunningAndNothingReported) {
    startRunning();
    opening->held.hold = true;
    owner->receive(ApplicationLifecycle::launched(viewer), received);
    owner->receive(ApplicationLifecycle::activated(viewer), received);
    owner->perform(FixedShortcut::left);
    executor.runUntilIdle();
    ASSERT_THAT(windows->started(), ElementsAre("perform left"));

    owner->stop();
    EXPECT_FALSE(owner->isRunning());
    EXPECT_FALSE(owner->executionKind());
    EXPECT_EQ(invalidations, 1);
    EXPECT_EQ(windows->cancels, 1);
    EXPECT_EQ(opening->log.back(), "stop");

    opening->held.releaseAll();
    windows->finishReads(0);
    executor.runUntilIdle();
    EXPECT_THAT(outcomes, IsEmpty());
    // The second event was still queued: it never reaches the coordinator.
    EXPECT_THAT(opening->calls("receive"), ElementsAre("receive launched 41"));

    owner->perform(FixedShortcut::right);
    owner->receive(ApplicationLifecycle::launched(editor), received);
    owner->factsChanged({editor});
    executor.runUntilIdle();
    EXPECT_EQ(windows->runs.size(), 1u);
    EXPECT_THAT(opening->calls("receive"), ElementsAre("receive launched 41"));
}

TEST_F(WindowExecutionOwnerTest, ARestartMakesTasksOfTheEarlierLifeDoNothing) {
    opening->held.hold = true;
    owner->start({editor});
    executor.runUntilIdle();
    owner->receive(ApplicationLifecycle::launched(viewer), received);
    owner->stop();
    owner->start({viewer});
    executor.runUntilIdle();
    opening->held.releaseAll();
    executor.runUntilIdle();
    // The event of the first life waited for the first start and then found a new lifetime.
    EXPECT_THAT(opening->log, ElementsAre("start 40", "stop", "start 41"));
}

TEST_F(WindowExecutionOwnerTest, ReleasingTheOwnerStopsItAndItsLateTasksDoNothing) {
    startRunning();
    owner->perform(FixedShortcut::left);
    executor.runUntilIdle();
    owner.reset();
    EXPECT_EQ(opening->log.back(), "stop");
    EXPECT_EQ(invalidations, 1);
    windows->finishReads(0);
    executor.runUntilIdle();
    EXPECT_EQ(windows->runs[0]->gate, false);
    EXPECT_THAT(outcomes, IsEmpty());
}

// What a change of the facts does to a running action, the coordinator and the queued events.
TEST_F(WindowExecutionOwnerTest, FactsChangesCancelRetrackAndReclassifyAsTheirKindRequires) {
    struct Case {
        const char* name;
        std::function<void(OpeningObservationFacts&)> change;
        bool cancels;
        bool retracks;
    };
    const std::vector<Case> cases{
        {"nothing", [](OpeningObservationFacts&) {}, false, false},
        {"generation", [](OpeningObservationFacts& f) { f.generation += 1; }, true, false},
        {"frontmost", [](OpeningObservationFacts& f) { f.frontmost = viewer; }, true, false},
        {"rules", [](OpeningObservationFacts& f) { f.rules.emplace(viewer.app, OpeningAction::center); },
         true, true},
        {"operation allowed", [](OpeningObservationFacts& f) { f.operationAllowed = false; }, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        opening->log.clear();
        windows->runs.clear();
        invalidations = 0;
        outcomes.clear();
        startRunning();
        owner->perform(FixedShortcut::left);
        executor.runUntilIdle();
        // A launch received before the change, still queued behind a held one.
        opening->held.hold = true;
        owner->receive(ApplicationLifecycle::activated(editor), received);
        owner->receive(ApplicationLifecycle::launched(viewer), received);
        executor.runUntilIdle();

        c.change(facts);
        owner->factsChanged({editor, viewer});
        EXPECT_EQ(owner->executionKind().has_value(), !c.cancels);
        EXPECT_EQ(invalidations, c.cancels ? 1 : 0);
        EXPECT_THAT(opening->calls("refresh"), ElementsAre("refresh"));

        opening->held.releaseAll();
        executor.runUntilIdle();
        windows->finishReads(0);
        executor.runUntilIdle();
        EXPECT_EQ(outcomes.size(), c.cancels ? 0u : 1u);
        if (c.retracks) {
            EXPECT_THAT(opening->calls("track"), ElementsAre("track 40,41", "track 41"));
            EXPECT_THAT(opening->calls("receive"), ElementsAre("receive activated 40"));
        } else {
            EXPECT_THAT(opening->calls("track"), IsEmpty());
            EXPECT_THAT(opening->calls("receive"),
                        ElementsAre("receive activated 40", "receive launched 41"));
        }
        owner->stop();
        executor.runUntilIdle();
        facts = OpeningObservationFacts{true, 5, editor, {{editor.app, OpeningAction::maximize}}};
    }
}

TEST_F(WindowExecutionOwnerTest, TheRetrackingWaitsForTheStartAndOnlyTheLatestRuns) {
    opening->held.hold = true;
    owner->start({editor});
    facts.rules.emplace(viewer.app, OpeningAction::center);
    owner->factsChanged({editor, viewer});
    facts.rules.erase(editor.app);
    owner->factsChanged({viewer});
    executor.runUntilIdle();
    EXPECT_THAT(opening->calls("track"), IsEmpty());
    opening->held.releaseAll();
    executor.runUntilIdle();
    EXPECT_THAT(opening->calls("track"), ElementsAre("track 41"));
}

// Leaving events of the process of an automatic action cancel it; others only fail metadata reads
// of the frontmost process.
TEST_F(WindowExecutionOwnerTest, DeactivationOrTerminationOfTheAutomaticProcessCancelsItsAction) {
    struct Case {
        ApplicationLifecycle event;
        bool automatic;
        bool cancels;
        int invalidations;
    };
    const std::vector<Case> cases{
        {ApplicationLifecycle::deactivated(editor), true, true, 1},
        {ApplicationLifecycle::terminated(editor), true, true, 1},
        {ApplicationLifecycle::deactivated(viewer), true, false, 0},
        // The frontmost process left while a hot key's action runs: only the metadata reads fail.
        {ApplicationLifecycle::deactivated(editor), false, false, 1},
        {ApplicationLifecycle::activated(editor), true, false, 0},
        // Another incarnation on the same pid is another process.
        {ApplicationLifecycle::terminated(ProcessID{editor.app, editor.pid, 2}), true, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(FakeOpeningCoordinator::describe(c.event.kind)) + " " +
                     std::to_string(c.event.process.incarnation) + (c.automatic ? " automatic" : " manual"));
        windows->runs.clear();
        invalidations = 0;
        startRunning();
        if (c.automatic) {
            owner->performAutomatic(proposal());
        } else {
            owner->perform(FixedShortcut::left);
        }
        executor.runUntilIdle();
        owner->receive(c.event, received);
        executor.runUntilIdle();
        EXPECT_EQ(owner->executionKind().has_value(), !c.cancels);
        EXPECT_EQ(invalidations, c.invalidations);
        EXPECT_EQ(opening->calls("receive").back(), std::string("receive ") +
                                                        FakeOpeningCoordinator::describe(c.event.kind) + " " +
                                                        std::to_string(c.event.process.pid));
        owner->stop();
        windows->finishReads(0);
        executor.runUntilIdle();
    }
}

} // namespace
} // namespace tidewright
