#include "tidewright/applications/OpeningObservationCoordinator.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "FakeOpeningDesktop.hpp"
#include "platform/concurrency/ManualClock.hpp"
#include "platform/concurrency/ManualExecutor.hpp"

namespace tidewright {
namespace {

using namespace std::chrono_literals;
using Coordinator = OpeningObservationCoordinator;
using testing::FakeOpeningDesktop;
using testing::FakeWindow;
using testing::frameOf;

const BundleID editorApp("org.example.Editor");
const BundleID viewerApp("org.example.Viewer");
const ProcessID editor{editorApp, 42, 1};
const ProcessID viewer{viewerApp, 77, 2};

const DesktopFrame placed = frameOf(100, 80, 640, 480);

// Public: the cases of a table reach into it.
class CoordinatorTest : public ::testing::Test {
public:
    CoordinatorTest() { make(true); }

    void make(bool withSignal) {
        coordinator = Coordinator::create(
            desktop, desktop, desktop, [this] { return facts; }, clock, withSignal ? desktop : nullptr, executor);
        coordinator->onCandidate = [this](const OpeningObservationProposal& proposal) {
            proposals.push_back(proposal);
        };
    }

    // A new desktop and coordinator for the next case of a table; the clock goes on.
    void fresh() {
        desktop = std::make_shared<FakeOpeningDesktop>(clock);
        make(true);
        proposals.clear();
    }

    // Runs an operation in a task of its own as far as the executor gets without the clock.
    template <class Body>
    void run(Body body) {
        auto task = platform::spawn(executor, std::move(body));
        executor.runUntilIdle();
    }
    void start(std::vector<ProcessID> processes) {
        run([c = coordinator, processes] { return c->start(processes); });
    }
    void receive(ApplicationLifecycle event, ContinuousInstant at) {
        run([c = coordinator, event, at] { return c->receive(event, at); });
    }
    void receive(ApplicationLifecycle event) { receive(std::move(event), clock.now()); }
    std::optional<bool> complete(const OpeningObservationProposal& proposal, DesktopFrame observed) {
        auto result = std::make_shared<std::optional<bool>>();
        auto task = platform::spawn(executor,
                                    [c = coordinator, proposal, observed, result,
                                     deadline = clock.now() + 2s]() -> platform::Async<> {
                                        *result = co_await c->complete(proposal, deadline, observed);
                                    });
        executor.runUntilIdle();
        return *result;
    }

    // The application's facts as the app model would give them: front, and the generation raised.
    void bringToFront(const std::optional<ProcessID>& process) {
        facts.frontmost = process;
        ++facts.generation;
    }

    // A launched, frontmost editor opens its first window: the window server lists it, then the
    // signal fires. Answers the one proposal.
    OpeningObservationProposal openFirstWindow() {
        start({});
        bringToFront(editor);
        receive(ApplicationLifecycle::launched(editor));
        desktop->windows.push_back({501, editor.pid, placed});
        desktop->createWindowAt(editor.pid, clock.now() + 300ms);
        clock.advance(1s);
        EXPECT_EQ(proposals.size(), 1u);
        return proposals.empty()
                   ? OpeningObservationProposal{WindowID{editor, 0},   placed, OpeningCycleID{editor, 0},
                                                OpeningAction::center, 0,      clock.now()}
                   : proposals.back();
    }

    platform::ManualExecutor executor;
    platform::ManualClock clock{executor};
    std::shared_ptr<FakeOpeningDesktop> desktop = std::make_shared<FakeOpeningDesktop>(clock);
    OpeningObservationFacts facts{
        true, 7, std::nullopt, {{editorApp, OpeningAction::maximize}, {viewerApp, OpeningAction::center}}};
    std::shared_ptr<Coordinator> coordinator;
    std::vector<OpeningObservationProposal> proposals;
};

TEST_F(CoordinatorTest, ALaunchedApplicationsFirstWindowIsProposedOnceAfterTheSignalAndTheSettlePause) {
    start({});
    bringToFront(editor);
    const ContinuousInstant launchedAt = clock.now();
    receive(ApplicationLifecycle::launched(editor), launchedAt);

    // The first pass runs at once and finds no window; the worker then waits for the signal.
    ASSERT_EQ(desktop->presenceReads, std::vector{launchedAt});
    ASSERT_EQ(desktop->waits.size(), 1u);
    EXPECT_EQ(desktop->waits[0].second, 1s);
    desktop->windows.push_back({501, editor.pid, placed});
    desktop->createWindowAt(editor.pid, launchedAt + 300ms);

    clock.advance(300ms);
    EXPECT_EQ(desktop->presenceReads.size(), 1u) << "no pass before the settle pause";
    clock.advance(150ms);

    const ContinuousInstant passAt = launchedAt + 450ms;
    EXPECT_EQ(desktop->presenceReads, (std::vector{launchedAt, passAt, passAt}));
    EXPECT_EQ(desktop->inventoryReads, (std::vector{passAt, passAt}));
    EXPECT_EQ(desktop->mainReads, std::vector{passAt});
    EXPECT_EQ(desktop->presenceDeadlines.back(), passAt + 2s);
    ASSERT_EQ(proposals.size(), 1u);
    const OpeningObservationProposal expected{WindowID{editor, 501},     placed,
                                              OpeningCycleID{editor, 1}, OpeningAction::maximize,
                                              facts.generation,          launchedAt + 10s};
    EXPECT_EQ(proposals[0], expected);
    EXPECT_EQ(coordinator->proposal(), expected);
    EXPECT_FALSE(coordinator->claimed());

    // The opportunity is used up: the worker ended and nothing more is read or proposed.
    EXPECT_FALSE(coordinator->hasWorker());
    EXPECT_FALSE(coordinator->active().has_value());
    EXPECT_FALSE(coordinator->state(editor)->opportunity.has_value());
    clock.advance(20s);
    EXPECT_EQ(proposals.size(), 1u);
    EXPECT_EQ(desktop->presenceReads.size(), 3u);
}

TEST_F(CoordinatorTest, ALaunchTenSecondsOldOpensNothingAndOnlyABackgroundOneTakesABaseline) {
    struct Case {
        ContinuousDuration age;
        bool inFront;
        std::size_t proposals;
        OpeningBaseline baseline;
    };
    const Case cases[] = {
        {10s, true, 0, OpeningBaseline::unknown}, // no opportunity, no worker, and no baseline either
        {10s, false, 0, OpeningBaseline::hasWindows},
        {9999ms, true, 1, OpeningBaseline::hasWindows}, // seen by the pass
        {0s, true, 1, OpeningBaseline::hasWindows},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.age.count()) + " ns old, " + (c.inFront ? "in front" : "behind"));
        fresh();
        start({});
        bringToFront(c.inFront ? std::optional(editor) : viewer);
        desktop->windows.push_back({501, editor.pid, placed});
        receive(ApplicationLifecycle::launched(editor), clock.now() - c.age);
        EXPECT_EQ(proposals.size(), c.proposals);
        EXPECT_EQ(coordinator->state(editor)->ordinal, c.proposals);
        EXPECT_EQ(coordinator->state(editor)->ledger.baseline(), c.baseline);
        if (!proposals.empty()) {
            EXPECT_EQ(proposals[0].expiresAt, clock.now() - c.age + 10s);
        }
        coordinator->stop();
    }
}

TEST_F(CoordinatorTest, WindowsOpenBeforeTheOpportunityNeverCountAsNew) {
    struct Case {
        const char* name;
        std::vector<FakeWindow> before; // none on screen, so the baseline is "no windows"
        std::vector<FakeWindow> after;  // one on screen
        std::optional<std::uint64_t> proposed;
    };
    const auto hidden = [](std::uint64_t token) {
        return FakeWindow{token, editor.pid, placed, 0, false};
    };
    const auto shown = [](std::uint64_t token) {
        return FakeWindow{token, editor.pid, placed, 0, true};
    };
    const Case cases[] = {
        {"its one window shown again", {hidden(1)}, {shown(1)}, std::nullopt},
        {"several windows, listed in another order",
         {hidden(1), hidden(2), hidden(3)},
         {hidden(3), shown(2), hidden(1)},
         std::nullopt},
        {"a new window among them", {hidden(1), hidden(2)}, {hidden(2), shown(9), hidden(1)}, 9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        desktop->windows = c.before;
        start({editor});
        ASSERT_EQ(coordinator->state(editor)->ledger.baseline(), OpeningBaseline::noWindows);

        desktop->windows = c.after;
        bringToFront(editor);
        receive(ApplicationLifecycle::activated(editor));
        clock.advance(1s);
        EXPECT_EQ(coordinator->state(editor)->ordinal, 1u) << "the activation opened an opportunity";
        if (c.proposed) {
            ASSERT_EQ(proposals.size(), 1u);
            EXPECT_EQ(proposals[0].candidateID, (WindowID{editor, *c.proposed}));
        } else {
            EXPECT_TRUE(proposals.empty());
        }
        EXPECT_FALSE(coordinator->hasWorker());
        coordinator->stop();
    }
}

TEST_F(CoordinatorTest, AProposalIsClaimedOnceAndCompletedOnlyAtTheInventorysFrame) {
    const OpeningObservationProposal proposal = openFirstWindow();
    EXPECT_TRUE(coordinator->claim(proposal));
    EXPECT_FALSE(coordinator->claim(proposal));

    EXPECT_EQ(complete(proposal, placed), std::optional(true));
    EXPECT_EQ(coordinator->proposal(), proposal) << "a confirmed proposal stays";
    EXPECT_TRUE(coordinator->claimed());

    EXPECT_EQ(complete(proposal, frameOf(100, 80, 640, 481)), std::optional(false));
    EXPECT_FALSE(coordinator->proposal().has_value());
    EXPECT_EQ(complete(proposal, placed), std::optional(false)) << "nothing left to confirm";
}

TEST_F(CoordinatorTest, CompleteFailsWhenTheWindowMovedOrAnotherAppearedMeanwhile) {
    struct Case {
        const char* name;
        std::function<void(FakeOpeningDesktop&)> change;
    };
    const Case cases[] = {
        {"the window server shows it elsewhere",
         [](FakeOpeningDesktop& d) {
             d.window(501).frame = frameOf(0, 0, 640, 480);
         }},
        {"a second window",
         [](FakeOpeningDesktop& d) {
             d.windows.push_back({502, editor.pid, placed});
         }},
        {"the window closed",
         [](FakeOpeningDesktop& d) {
             d.remove(501);
         }},
        {"no inventory",
         [](FakeOpeningDesktop& d) {
             d.inventoryUnavailable = true;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        const OpeningObservationProposal proposal = openFirstWindow();
        ASSERT_TRUE(coordinator->claim(proposal));
        c.change(*desktop);
        EXPECT_EQ(complete(proposal, placed), std::optional(false));
        EXPECT_FALSE(coordinator->proposal().has_value());
        coordinator->stop();
    }
}

TEST_F(CoordinatorTest, AClaimIsRefusedOnceTheProposalNoLongerHolds) {
    struct Case {
        const char* name;
        std::function<void(CoordinatorTest&)> change;
        std::function<OpeningObservationProposal(OpeningObservationProposal)> offered;
    };
    const auto same = [](OpeningObservationProposal p) {
        return p;
    };
    const Case cases[] = {
        {"expired", [](CoordinatorTest& t) { t.clock.advance(10s); }, same},
        {"another application in front", [](CoordinatorTest& t) { t.facts.frontmost = viewer; }, same},
        {"a new generation", [](CoordinatorTest& t) { ++t.facts.generation; }, same},
        {"the rule changed",
         [](CoordinatorTest& t) { t.facts.rules.insert_or_assign(editorApp, OpeningAction::center); }, same},
        {"operation not allowed", [](CoordinatorTest& t) { t.facts.operationAllowed = false; }, same},
        {"stopped", [](CoordinatorTest& t) { t.coordinator->stop(); }, same},
        {"another expiry", [](CoordinatorTest&) {},
         [](OpeningObservationProposal p) {
             p.expiresAt += 1ns;
             return p;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        facts.operationAllowed = true;
        facts.rules.insert_or_assign(editorApp, OpeningAction::maximize);
        const OpeningObservationProposal proposal = openFirstWindow();
        c.change(*this);
        EXPECT_FALSE(coordinator->claim(c.offered(proposal)));
        coordinator->stop();
    }
}

TEST_F(CoordinatorTest, TheGeometryLoopWaitsForTheMainWindowAndTheInventoryToAgree) {
    start({});
    bringToFront(editor);
    desktop->windows.push_back({501, editor.pid, placed});
    desktop->mainDelay = 100ms;
    desktop->presenceDelay = 10ms;
    desktop->mainAnswer = frameOf(100, 80, 640, 400); // the client is still resizing itself
    const ContinuousInstant launchedAt = clock.now();
    clock.startTimer(launchedAt + 500ms, [this] { desktop->mainAnswer.reset(); });
    receive(ApplicationLifecycle::launched(editor), launchedAt);
    clock.advance(2s);

    ASSERT_EQ(proposals.size(), 1u);
    EXPECT_EQ(proposals[0].expectedFrame, placed);
    EXPECT_GT(desktop->mainReads.size(), 2u);
    // Only the first try reads presence between the main window and the inventory.
    EXPECT_EQ(desktop->presenceReads.size(), desktop->mainReads.size() + 1);
}

TEST_F(CoordinatorTest, FramesThatNeverAgreeEndThePassAtItsDeadlineWithoutAProposal) {
    start({});
    bringToFront(editor);
    desktop->windows.push_back({501, editor.pid, placed});
    desktop->mainDelay = 100ms;
    desktop->mainAnswer = frameOf(100, 80, 640, 400);
    const ContinuousInstant launchedAt = clock.now();
    receive(ApplicationLifecycle::launched(editor), launchedAt);
    clock.advance(15s);

    EXPECT_TRUE(proposals.empty());
    ASSERT_FALSE(desktop->mainReads.empty());
    EXPECT_LT(desktop->mainReads.back(), launchedAt + 2s);
    EXPECT_FALSE(coordinator->hasWorker());
    EXPECT_FALSE(coordinator->state(editor)->opportunity.has_value());
}

TEST_F(CoordinatorTest, PassesThatCannotProposeEndTheOpportunity) {
    struct Case {
        const char* name;
        std::function<void(FakeOpeningDesktop&)> setUp;
        OpeningBaseline baseline;
    };
    const Case cases[] = {
        {"several windows", [](FakeOpeningDesktop& d) { d.presenceAnswer = OpeningWindowPresence::several; },
         OpeningBaseline::unknown},
        {"presence unknown", [](FakeOpeningDesktop& d) { d.presenceAnswer = OpeningWindowPresence::unknown; },
         OpeningBaseline::unknown},
        {"no main window", [](FakeOpeningDesktop& d) { d.mainAnswer = std::optional<DesktopFrame>(); },
         OpeningBaseline::hasWindows},
        {"no inventory", [](FakeOpeningDesktop& d) { d.inventoryUnavailable = true; },
         OpeningBaseline::unknown},
        {"a window off the normal layer",
         [](FakeOpeningDesktop& d) {
             d.windows[0].layer = 3;
             d.presenceAnswer = OpeningWindowPresence::one;
         },
         OpeningBaseline::hasWindows},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        start({});
        bringToFront(editor);
        desktop->windows.push_back({501, editor.pid, placed});
        c.setUp(*desktop);
        receive(ApplicationLifecycle::launched(editor));
        clock.advance(11s);
        EXPECT_TRUE(proposals.empty());
        EXPECT_EQ(desktop->presenceReads.front(), desktop->presenceReads.back()) << "one pass only";
        EXPECT_FALSE(coordinator->hasWorker());
        EXPECT_FALSE(coordinator->state(editor)->opportunity.has_value());
        EXPECT_EQ(coordinator->state(editor)->ledger.baseline(), c.baseline);
        coordinator->stop();
    }
}

TEST_F(CoordinatorTest, WithoutASignalTheWorkerPollsUntilTheOpportunityEnds) {
    make(false);
    start({});
    bringToFront(editor);
    const ContinuousInstant launchedAt = clock.now();
    receive(ApplicationLifecycle::launched(editor), launchedAt);
    clock.advance(250ms);
    EXPECT_EQ(desktop->presenceReads, (std::vector{launchedAt, launchedAt + 100ms, launchedAt + 200ms}));

    clock.advance(20s);
    EXPECT_EQ(desktop->presenceReads.size(), 100u) << "one read every 0.1 s for 10 s";
    EXPECT_LT(desktop->presenceReads.back(), launchedAt + 10s);
    EXPECT_FALSE(coordinator->hasWorker());
    EXPECT_FALSE(coordinator->state(editor)->opportunity.has_value());
}

TEST_F(CoordinatorTest, WithASignalThatNeverFiresTheWorkerWaitsASecondBetweenPasses) {
    start({});
    bringToFront(editor);
    const ContinuousInstant launchedAt = clock.now();
    receive(ApplicationLifecycle::launched(editor), launchedAt);
    clock.advance(20s);
    ASSERT_EQ(desktop->presenceReads.size(), 10u);
    for (std::size_t i = 0; i < desktop->presenceReads.size(); ++i) {
        EXPECT_EQ(desktop->presenceReads[i], launchedAt + i * 1s);
    }
    EXPECT_GE(desktop->cancels, 1) << "the worker's end lets go of the watched process";
}

TEST_F(CoordinatorTest, ALaunchInTheBackgroundWaitsForItsActivation) {
    start({});
    bringToFront(viewer);
    const ContinuousInstant launchedAt = clock.now();
    receive(ApplicationLifecycle::launched(editor), launchedAt);
    EXPECT_TRUE(coordinator->state(editor)->opportunity.has_value());
    EXPECT_FALSE(coordinator->hasWorker());
    EXPECT_TRUE(desktop->inventoryReads.empty()) << "no baseline while the opportunity is open";

    desktop->windows.push_back({501, editor.pid, placed});
    clock.advance(3s);
    bringToFront(editor);
    receive(ApplicationLifecycle::activated(editor));
    ASSERT_EQ(proposals.size(), 1u);
    EXPECT_EQ(proposals[0].expiresAt, launchedAt + 10s);
    EXPECT_EQ(proposals[0].cycle, (OpeningCycleID{editor, 1}));
}

TEST_F(CoordinatorTest, LaunchesReplaceEarlierIncarnationsAndIgnoreRepeats) {
    start({});
    bringToFront(viewer);
    receive(ApplicationLifecycle::launched(editor));
    const Coordinator::Token identity = coordinator->state(editor)->identity;
    receive(ApplicationLifecycle::launched(editor));
    EXPECT_EQ(coordinator->state(editor)->identity, identity) << "the same process again changes nothing";
    EXPECT_EQ(coordinator->state(editor)->ordinal, 1u);

    const ProcessID reborn{editorApp, editor.pid, editor.incarnation + 1};
    receive(ApplicationLifecycle::launched(reborn));
    EXPECT_EQ(coordinator->state(editor), nullptr);
    ASSERT_NE(coordinator->state(reborn), nullptr);

    // An application without a rule on the same pid: no state, and the old one is gone.
    const ProcessID other{BundleID("org.example.Other"), editor.pid, editor.incarnation + 2};
    receive(ApplicationLifecycle::launched(other));
    EXPECT_EQ(coordinator->state(reborn), nullptr);
    EXPECT_EQ(coordinator->state(other), nullptr);
}

TEST_F(CoordinatorTest, AnActivationOpensAnOpportunityOnlyFromABaselineWithoutWindows) {
    start({});
    bringToFront(editor);
    receive(ApplicationLifecycle::activated(editor));
    ASSERT_NE(coordinator->state(editor), nullptr);
    EXPECT_EQ(coordinator->state(editor)->ordinal, 0u) << "a first activation only takes a baseline";
    EXPECT_EQ(coordinator->state(editor)->ledger.baseline(), OpeningBaseline::noWindows);

    desktop->windows.push_back({501, editor.pid, placed});
    bringToFront(editor);
    receive(ApplicationLifecycle::activated(editor));
    ASSERT_EQ(proposals.size(), 1u);
    EXPECT_EQ(proposals[0].cycle.ordinal, 1u);

    // Now the application has a window: leaving and coming back opens nothing.
    bringToFront(viewer);
    receive(ApplicationLifecycle::deactivated(editor));
    EXPECT_EQ(coordinator->state(editor)->ledger.baseline(), OpeningBaseline::hasWindows);
    bringToFront(editor);
    receive(ApplicationLifecycle::activated(editor));
    EXPECT_EQ(coordinator->state(editor)->ordinal, 1u);
    EXPECT_FALSE(coordinator->hasWorker());
    EXPECT_EQ(proposals.size(), 1u);
}

TEST_F(CoordinatorTest, AnOpportunityThatCannotOpenLeavesTheOrdinalAlone) {
    struct Case {
        const char* name;
        std::function<void(OpeningObservationFacts&)> change;
    };
    const Case cases[] = {
        {"operation not allowed",
         [](OpeningObservationFacts& f) {
             f.operationAllowed = false;
         }},
        {"rule removed",
         [](OpeningObservationFacts& f) {
             f.rules.erase(editorApp);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        start({});
        facts = {true, 7, viewer, {{editorApp, OpeningAction::maximize}}};
        receive(ApplicationLifecycle::activated(editor)); // a state, with a baseline of no windows
        ASSERT_EQ(coordinator->state(editor)->ledger.baseline(), OpeningBaseline::noWindows);
        c.change(facts);
        receive(ApplicationLifecycle::activated(editor));
        ASSERT_NE(coordinator->state(editor), nullptr);
        EXPECT_EQ(coordinator->state(editor)->ordinal, 0u);
        coordinator->stop();
    }
}

TEST_F(CoordinatorTest, DeactivatingTheActiveProcessResetsAndTakesANewBaseline) {
    start({});
    bringToFront(editor);
    receive(ApplicationLifecycle::launched(editor));
    ASSERT_TRUE(coordinator->hasWorker());
    const std::uint64_t serial = coordinator->serial();

    desktop->windows.push_back({501, editor.pid, placed});
    bringToFront(viewer);
    receive(ApplicationLifecycle::deactivated(editor));
    EXPECT_FALSE(coordinator->hasWorker());
    EXPECT_GT(coordinator->serial(), serial);
    EXPECT_FALSE(coordinator->state(editor)->opportunity.has_value());
    EXPECT_EQ(coordinator->state(editor)->ledger.baseline(), OpeningBaseline::hasWindows);
    EXPECT_TRUE(coordinator->state(editor)->ledger.known().contains(WindowID{editor, 501}));
    clock.advance(11s);
    EXPECT_TRUE(proposals.empty());

    receive(ApplicationLifecycle::terminated(editor));
    EXPECT_EQ(coordinator->state(editor), nullptr);
}

TEST_F(CoordinatorTest, ANewGenerationWhileAPassReadsDropsThePassButItsWindowsBecomeKnown) {
    start({});
    bringToFront(editor);
    desktop->windows.push_back({501, editor.pid, placed});
    desktop->inventoryDelay = 100ms;
    receive(ApplicationLifecycle::launched(editor));
    ASSERT_EQ(desktop->inventoryReads.size(), 1u) << "the first pass is reading the inventory";

    ++facts.generation; // say, the preferences changed
    coordinator->refreshFacts();
    EXPECT_FALSE(coordinator->hasWorker());
    clock.advance(200ms);
    EXPECT_TRUE(proposals.empty());
    EXPECT_TRUE(coordinator->state(editor)->ledger.known().contains(WindowID{editor, 501}))
        << "a late inventory still teaches the ledger its windows";
    EXPECT_FALSE(coordinator->state(editor)->opportunity.has_value());
}

TEST_F(CoordinatorTest, AnOldWorkersExitLeavesTheNewerWorkerAlone) {
    start({});
    bringToFront(editor);
    desktop->windows.push_back({501, editor.pid, placed});
    desktop->windows.push_back({601, viewer.pid, placed});
    desktop->presenceDelay = 100ms;
    receive(ApplicationLifecycle::launched(editor));
    ASSERT_EQ(desktop->presenceReads.size(), 1u);

    // The viewer comes to the front while the editor's pass awaits its presence read.
    bringToFront(viewer);
    receive(ApplicationLifecycle::launched(viewer));
    ASSERT_TRUE(coordinator->active().has_value());
    EXPECT_EQ(coordinator->active()->process, viewer);
    EXPECT_FALSE(coordinator->state(editor)->opportunity.has_value());

    clock.advance(1s);
    ASSERT_EQ(proposals.size(), 1u);
    EXPECT_EQ(proposals[0].candidateID, (WindowID{viewer, 601}));
    EXPECT_EQ(proposals[0].action, OpeningAction::center);
}

TEST_F(CoordinatorTest, AStaleBaselineMarksItsWindowsKnownWithoutSettingTheBaseline) {
    start({});
    bringToFront(viewer);
    desktop->windows.push_back({501, editor.pid, placed});
    desktop->inventoryDelay = 100ms;
    receive(ApplicationLifecycle::activated(editor)); // a state and a baseline read
    ++facts.generation;
    clock.advance(200ms);
    EXPECT_EQ(coordinator->state(editor)->ledger.baseline(), OpeningBaseline::unknown);
    EXPECT_TRUE(coordinator->state(editor)->ledger.known().contains(WindowID{editor, 501}));
}

TEST_F(CoordinatorTest, ARestartDropsEverythingBegunBefore) {
    desktop->windows.push_back({501, editor.pid, placed});
    desktop->inventoryDelay = 100ms;
    facts.frontmost = viewer;
    start({editor});
    const auto firstState = coordinator->state(editor)->identity;
    coordinator->stop();
    EXPECT_EQ(coordinator->state(editor), nullptr);
    clock.advance(200ms);
    EXPECT_EQ(coordinator->state(editor), nullptr) << "the old baseline lands nowhere";

    desktop->windows.clear();
    start({editor});
    clock.advance(200ms);
    ASSERT_NE(coordinator->state(editor), nullptr);
    EXPECT_NE(coordinator->state(editor)->identity, firstState);
    EXPECT_EQ(coordinator->state(editor)->ledger.baseline(), OpeningBaseline::noWindows);
    EXPECT_TRUE(coordinator->state(editor)->ledger.known().empty());
}

TEST_F(CoordinatorTest, StartAndTrackTakeABaselineOfEveryProcessWithARule) {
    const ProcessID unruled{BundleID("org.example.Other"), 90, 3};
    desktop->windows = {
        {501, editor.pid, placed}, {601, viewer.pid, placed, 0, false}, {901, unruled.pid, placed}};
    start({editor, viewer, unruled});
    EXPECT_EQ(desktop->inventoryReads.size(), 1u) << "one inventory for all";
    EXPECT_EQ(coordinator->state(editor)->ledger.baseline(), OpeningBaseline::hasWindows);
    EXPECT_EQ(coordinator->state(viewer)->ledger.baseline(), OpeningBaseline::noWindows);
    EXPECT_EQ(coordinator->state(unruled), nullptr);

    // A rule added later: track gives the process its state and baseline.
    facts.rules.insert_or_assign(unruled.app, OpeningAction::center);
    run([c = coordinator, unruled] { return c->track({unruled}); });
    ASSERT_NE(coordinator->state(unruled), nullptr);
    EXPECT_EQ(coordinator->state(unruled)->ledger.baseline(), OpeningBaseline::hasWindows);
}

TEST_F(CoordinatorTest, FactsThatNoLongerAllowAnOpportunityClearIt) {
    struct Case {
        const char* name;
        std::function<void(CoordinatorTest&)> change;
    };
    const Case cases[] = {
        {"the rule's action changed",
         [](CoordinatorTest& t) {
             t.facts.rules.insert_or_assign(editorApp, OpeningAction::center);
         }},
        {"the rule was removed",
         [](CoordinatorTest& t) {
             t.facts.rules.erase(editorApp);
         }},
        {"operation not allowed",
         [](CoordinatorTest& t) {
             t.facts.operationAllowed = false;
         }},
        {"the opportunity ran out",
         [](CoordinatorTest& t) {
             t.clock.advance(10s);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fresh();
        facts = {true, 7, viewer, {{editorApp, OpeningAction::maximize}}};
        start({});
        receive(ApplicationLifecycle::launched(editor)); // in the background: the opportunity waits
        ASSERT_TRUE(coordinator->state(editor)->opportunity.has_value());
        c.change(*this);
        coordinator->refreshFacts();
        EXPECT_FALSE(coordinator->state(editor)->opportunity.has_value());
        coordinator->stop();
    }
}

TEST_F(CoordinatorTest, ARefreshDropsAProposalTheFactsNoLongerAccept) {
    const OpeningObservationProposal proposal = openFirstWindow();
    coordinator->refreshFacts();
    EXPECT_EQ(coordinator->proposal(), proposal);
    bringToFront(viewer);
    coordinator->refreshFacts();
    EXPECT_FALSE(coordinator->proposal().has_value());
}

TEST_F(CoordinatorTest, TheWorkerEndsWithTheCoordinator) {
    start({});
    bringToFront(editor);
    receive(ApplicationLifecycle::launched(editor));
    ASSERT_TRUE(coordinator->hasWorker());
    std::weak_ptr<Coordinator> weak = coordinator;
    coordinator.reset();
    EXPECT_TRUE(weak.expired());
    clock.advance(11s);
    EXPECT_EQ(desktop->presenceReads.size(), 1u);
}

} // namespace
} // namespace tidewright
