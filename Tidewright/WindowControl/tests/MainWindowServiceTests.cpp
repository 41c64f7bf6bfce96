// The window operation service over a simulated window: its start conditions, the steps of a run
// and the re-checks between them, how every failure becomes an outcome, and runs that overlap.

#include "tidewright/windowcontrol/MainWindowService.hpp"

#include "platform/concurrency/ManualExecutor.hpp"

#include "FakeAppModel.hpp"
#include "FakeWindowTransport.hpp"
#include "WindowControlTestSupport.hpp"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidewright {

void PrintTo(const WindowOperationOutcome& outcome, std::ostream* out) {
    *out << caseName(outcome.kind());
    if (auto frame = outcome.frame()) {
        *out << "(" << frame->minX() << ", " << frame->minY() << ", " << frame->size().width().value() << ", "
             << frame->size().height().value() << ")";
    }
    if (auto failure = outcome.failure()) {
        *out << "(";
        PrintTo(*failure, out);
        *out << ")";
    }
}

namespace {

using platform::Async;
using std::chrono::milliseconds;
using std::chrono::seconds;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using Outcome = WindowOperationOutcome;
using F = WindowOperationFailure;
using Names = std::vector<std::string>;

const ProcessID editor{BundleID("org.example.Editor"), 4242, 1};
const ProcessID viewer{BundleID("org.example.Viewer"), 4343, 1};
// One screen with a 30-point bar on top; the window starts inside it.
const DesktopFrame original = frameOf(100, 100, 800, 600);
constexpr std::uint64_t generation = 7;

const Names readWriteRead{"mainWindowFrame", "setFrame", "mainWindowFrame"};
const Names readCapsWriteRead{"mainWindowFrame", "sizeCapabilities", "setFrame", "mainWindowFrame"};
const Names refinedMove{"mainWindowFrame", "sizeCapabilities", "setFrame",
                        "mainWindowFrame", "setOrigin",        "mainWindowFrame"};

class FakeScreens final : public platform::ScreenReading {
public:
    std::vector<ScreenGeometry> list{
        ScreenGeometry(ScreenID{1}, frameOf(0, 0, 1920, 1080), frameOf(0, 30, 1920, 1050))};
    std::optional<GeometryError> refusal;

    std::vector<ScreenGeometry> screens() const override {
        if (refusal) {
            throw *refusal;
        }
        return list;
    }
};

WindowSize clampedTo(const WindowSize& asked, double width, double height) {
    return WindowSize(Points(std::min(asked.width().value(), width)),
                      Points(std::min(asked.height().value(), height)));
}

class MainWindowServiceTest : public ::testing::Test {
protected:
    struct Running {
        platform::Task<> task;
        std::shared_ptr<std::optional<Outcome>> outcome;
    };

    OpeningObservationProposal proposal(OpeningAction action, ContinuousInstant expiresAt) const {
        return {WindowID{editor, 11}, original, OpeningCycleID{editor, 3}, action, generation, expiresAt};
    }
    OpeningObservationProposal proposal(OpeningAction action) const {
        return proposal(action, model.now + seconds(10));
    }

    Running start(std::function<Async<Outcome>()> body) {
        auto outcome = std::make_shared<std::optional<Outcome>>();
        auto task = platform::spawn(
            executor, [outcome, body = std::move(body)]() -> Async<> { *outcome = co_await body(); });
        return {task, outcome};
    }
    Running startManual(FixedShortcut shortcut) {
        return start([this, shortcut] { return service->perform(shortcut, model.authorize()); });
    }
    Running startAutomatic(OpeningObservationProposal offered) {
        return start([this, offered] {
            return service->performCorrelated(offered, model.authorize(), model.observe());
        });
    }
    Outcome finish(const Running& running) {
        executor.runUntilIdle();
        EXPECT_TRUE(running.outcome->has_value()) << "the run did not end";
        return running.outcome->value_or(Outcome::alreadyPending());
    }

    platform::ManualExecutor executor;
    FakeAppModel model{{editor, generation, true}};
    std::shared_ptr<FakeWindowTransport> transport =
        std::make_shared<FakeWindowTransport>(original, model.clock());
    std::shared_ptr<FakeScreens> screens = std::make_shared<FakeScreens>();
    std::shared_ptr<MainWindowService> service =
        MainWindowService::make(transport, screens, model.factsClosure(), model.clock());
};

struct RunCase {
    const char* name;
    std::optional<FixedShortcut> shortcut; // else the automatic action
    OpeningAction action = OpeningAction::maximize;
    // Sets up the window, the screens and what happens while calls are out.
    std::function<void(FakeWindowTransport&, FakeAppModel&, FakeScreens&)> setup;
    Outcome expected;
    Names calls;
    bool permitRevoked = false;
};

void PrintTo(const RunCase& runCase, std::ostream* out) {
    *out << runCase.name;
}

// Calls onCall for the n-th call of that name (from 0).
std::function<void(const FakeWindowTransport::Call&)> atCall(std::string name, int n,
                                                             std::function<void()> body) {
    auto seen = std::make_shared<int>(0);
    return [=](const FakeWindowTransport::Call& call) {
        if (call.name == name && (*seen)++ == n) {
            body();
        }
    };
}

class MainWindowServiceRunTest : public MainWindowServiceTest,
                                 public ::testing::WithParamInterface<RunCase> {};

TEST_P(MainWindowServiceRunTest, EndsAsExpected) {
    const RunCase& c = GetParam();
    if (c.setup) {
        c.setup(*transport, model, *screens);
    }
    const Running running = c.shortcut ? startManual(*c.shortcut) : startAutomatic(proposal(c.action));
    EXPECT_EQ(finish(running), c.expected);
    EXPECT_THAT(transport->callNames(), ElementsAreArray(c.calls));
    if (!transport->calls.empty()) {
        EXPECT_EQ(transport->calls.front().permit->isActive(), !c.permitRevoked);
    }
    // Whatever the end, nothing stays pending and no permit stays held for the next request.
    EXPECT_FALSE(service->pendingRequest().has_value());
}

using S = FixedShortcut;
using World = FakeWindowTransport;

INSTANTIATE_TEST_SUITE_P(Runs, MainWindowServiceRunTest,
                         ::testing::Values(
                             // The common path and the refined move.
                             RunCase{"TakesThePlannedFrameWithOneWrite",
                                     S::left,
                                     {},
                                     {},
                                     Outcome::observed(frameOf(0, 30, 960, 1050)),
                                     readCapsWriteRead},
                             RunCase{"CentresWithoutAskingForCapabilities",
                                     S::c,
                                     {},
                                     {},
                                     Outcome::observed(frameOf(560, 255, 800, 600)),
                                     readWriteRead},
                             RunCase{"KeepsThePlannedSizeElsewhere",
                                     S::left,
                                     {},
                                     [](World& w, FakeAppModel&, FakeScreens&) { w.drift = 5; },
                                     Outcome::unconfirmed(),
                                     readCapsWriteRead},
                             RunCase{"MovesAWindowThatRefusedTheSizeToTheRefinedOrigin",
                                     S::right,
                                     {},
                                     [](World& w, FakeAppModel&, FakeScreens&) {
                                         w.takesSize = [](const WindowSize& s) {
                                             return clampedTo(s, 700, 800);
                                         };
                                     },
                                     Outcome::observed(frameOf(1220, 155, 700, 800)),
                                     refinedMove},
                             RunCase{"AcceptsARefusedSizeThatAlreadySitsAtTheRefinedOrigin",
                                     S::left,
                                     {},
                                     [](World& w, FakeAppModel&, FakeScreens&) {
                                         w.takesSize = [](const WindowSize& s) {
                                             return clampedTo(s, 700, 2000);
                                         };
                                     },
                                     Outcome::observed(frameOf(0, 30, 700, 1050)),
                                     readCapsWriteRead},
                             RunCase{"LeavesARefinedMoveThatMissesUnconfirmed",
                                     S::right,
                                     {},
                                     [](World& w, FakeAppModel&, FakeScreens&) {
                                         w.takesSize = [](const WindowSize& s) {
                                             return clampedTo(s, 700, 800);
                                         };
                                         w.drift = 5;
                                     },
                                     Outcome::unconfirmed(),
                                     refinedMove},
                             RunCase{"PlansAFixedWindowAtItsOwnSize",
                                     S::left,
                                     {},
                                     [](World& w, FakeAppModel&, FakeScreens&) {
                                         w.capabilities = SizeCapabilities::fixed(original.size());
                                     },
                                     Outcome::observed(frameOf(0, 255, 800, 600)),
                                     readCapsWriteRead},

                             // Failures before the write end the run as failed, except a stale request.
                             RunCase{"NoEligibleWindow",
                                     S::left,
                                     {},
                                     [](World& w, FakeAppModel&, FakeScreens&) {
                                         w.failures.emplace("mainWindowFrame", F::noUniqueEligibleWindow());
                                     },
                                     Outcome::failed(F::noUniqueEligibleWindow()),
                                     {"mainWindowFrame"}},
                             RunCase{"CapabilitiesReadDidNotComplete",
                                     S::left,
                                     {},
                                     [](World& w, FakeAppModel&, FakeScreens&) {
                                         w.failures.emplace("sizeCapabilities", F::transport(-25204));
                                     },
                                     Outcome::failed(F::transport(-25204)),
                                     {"mainWindowFrame", "sizeCapabilities"}},
                             RunCase{
                                 "ScreensRefused",
                                 S::left,
                                 {},
                                 [](World&, FakeAppModel&, FakeScreens& s) {
                                     s.refusal = GeometryError{GeometryError::Kind::noScreens};
                                 },
                                 Outcome::failed(F::geometry(GeometryError{GeometryError::Kind::noScreens})),
                                 {"mainWindowFrame"}},
                             RunCase{"AnErrorOfAnotherKindIsAMalformedResponse",
                                     S::left,
                                     {},
                                     [](World& w, FakeAppModel&, FakeScreens&) {
                                         w.onCall = atCall("mainWindowFrame", 0,
                                                           [] { throw std::runtime_error("odd"); });
                                     },
                                     Outcome::failed(F::malformedResponse()),
                                     {"mainWindowFrame"}},
                             RunCase{"DeadlinePassesDuringTheFirstRead",
                                     S::left,
                                     {},
                                     [](World& w, FakeAppModel& m, FakeScreens&) {
                                         w.onCall =
                                             atCall("mainWindowFrame", 0, [&m] { m.now += seconds(2); });
                                     },
                                     Outcome::failed(F::deadlineExceeded()),
                                     {"mainWindowFrame"}},

                             // A re-check that fails ends the run as invalidated, revokes its permit and
                             // writes nothing.
                             RunCase{"GenerationRisesDuringTheRead",
                                     S::left,
                                     {},
                                     [](World& w, FakeAppModel& m, FakeScreens&) {
                                         w.onCall =
                                             atCall("mainWindowFrame", 0, [&m] { ++m.facts.generation; });
                                     },
                                     Outcome::invalidated(),
                                     {"mainWindowFrame"},
                                     true},
                             RunCase{"AnotherApplicationComesToTheFront",
                                     S::left,
                                     {},
                                     [](World& w, FakeAppModel& m, FakeScreens&) {
                                         w.onCall =
                                             atCall("mainWindowFrame", 0, [&m] { m.facts.process = viewer; });
                                     },
                                     Outcome::invalidated(),
                                     {"mainWindowFrame"},
                                     true},
                             RunCase{"OperationIsSwitchedOffDuringTheCapabilitiesRead",
                                     S::left,
                                     {},
                                     [](World& w, FakeAppModel& m, FakeScreens&) {
                                         w.onCall = atCall("sizeCapabilities", 0,
                                                           [&m] { m.facts.operationAllowed = false; });
                                     },
                                     Outcome::invalidated(),
                                     {"mainWindowFrame", "sizeCapabilities"},
                                     true},
                             RunCase{"PermitRevokedAtTheDeadlineIsInvalidatedNotLate",
                                     S::left,
                                     {},
                                     [](World& w, FakeAppModel& m, FakeScreens&) {
                                         w.onCall = [&m](const World::Call& call) {
                                             m.now += seconds(3);
                                             call.permit->revoke();
                                         };
                                     },
                                     Outcome::invalidated(),
                                     {"mainWindowFrame"},
                                     true},
                             RunCase{"AuthorisationRefusedBeforeAnyWrite",
                                     S::left,
                                     {},
                                     [](World&, FakeAppModel& m, FakeScreens&) { m.authorizes = false; },
                                     Outcome::blocked(),
                                     {"mainWindowFrame", "sizeCapabilities"}},
                             RunCase{"GenerationRisesWhileAuthorising",
                                     S::left,
                                     {},
                                     [](World&, FakeAppModel& m, FakeScreens&) {
                                         m.whileAuthorizing = [&m] {
                                             ++m.facts.generation;
                                         };
                                     },
                                     Outcome::invalidated(),
                                     {"mainWindowFrame", "sizeCapabilities"},
                                     true},

                             // From the write on, every failure but a stale request leaves the window
                             // unconfirmed.
                             RunCase{"WriteRefusedByTheApplication",
                                     S::left,
                                     {},
                                     [](World& w, FakeAppModel&, FakeScreens&) {
                                         w.failures.emplace("setFrame", F::remote(-25200));
                                     },
                                     Outcome::unconfirmed(),
                                     {"mainWindowFrame", "sizeCapabilities", "setFrame"}},
                             RunCase{"DeadlinePassesDuringTheWrite",
                                     S::left,
                                     {},
                                     [](World& w, FakeAppModel& m, FakeScreens&) {
                                         w.onCall = atCall("setFrame", 0, [&m] { m.now += seconds(2); });
                                     },
                                     Outcome::unconfirmed(),
                                     {"mainWindowFrame", "sizeCapabilities", "setFrame"}},
                             RunCase{"ReadBackDidNotComplete",
                                     S::left,
                                     {},
                                     [](World& w, FakeAppModel&, FakeScreens&) {
                                         w.onCall =
                                             atCall("mainWindowFrame", 1, [] { throw F::transport(-25204); });
                                     },
                                     Outcome::unconfirmed(),
                                     readCapsWriteRead},
                             RunCase{"RefinedMoveRefused",
                                     S::right,
                                     {},
                                     [](World& w, FakeAppModel&, FakeScreens&) {
                                         w.takesSize = [](const WindowSize& s) {
                                             return clampedTo(s, 700, 800);
                                         };
                                         w.failures.emplace("setOrigin", F::remote(-25200));
                                     },
                                     Outcome::unconfirmed(),
                                     Names(refinedMove.begin(), refinedMove.end() - 1)},
                             RunCase{"GenerationRisesAfterTheWrite",
                                     S::left,
                                     {},
                                     [](World& w, FakeAppModel& m, FakeScreens&) {
                                         w.onCall = atCall("setFrame", 0, [&m] { ++m.facts.generation; });
                                     },
                                     Outcome::invalidated(),
                                     {"mainWindowFrame", "sizeCapabilities", "setFrame"},
                                     true},

                             // Automatic actions: every frame read goes to observe, whose refusal stops the
                             // run.
                             RunCase{"MaximizesTheProposedWindow",
                                     std::nullopt,
                                     OpeningAction::maximize,
                                     {},
                                     Outcome::observed(frameOf(0, 30, 1920, 1050)),
                                     readCapsWriteRead},
                             RunCase{"CentresTheProposedWindow",
                                     std::nullopt,
                                     OpeningAction::center,
                                     {},
                                     Outcome::observed(frameOf(560, 255, 800, 600)),
                                     readWriteRead},
                             RunCase{"ProposedWindowMovedSinceItWasConfirmed",
                                     std::nullopt,
                                     OpeningAction::maximize,
                                     [](World& w, FakeAppModel&, FakeScreens&) {
                                         w.frame = frameOf(101, 100, 800, 600);
                                     },
                                     Outcome::invalidated(),
                                     {"mainWindowFrame"}},
                             RunCase{
                                 "ObserveRefusesTheFirstFrame",
                                 std::nullopt,
                                 OpeningAction::maximize,
                                 [](World&, FakeAppModel& m, FakeScreens&) { m.observeAnswers = {false}; },
                                 Outcome::invalidated(),
                                 {"mainWindowFrame", "sizeCapabilities"},
                                 true},
                             RunCase{"ObserveRefusesTheReadBack", std::nullopt, OpeningAction::maximize,
                                     [](World&, FakeAppModel& m, FakeScreens&) {
                                         m.observeAnswers = {true, false};
                                     },
                                     Outcome::invalidated(), readCapsWriteRead, true},
                             RunCase{"ProposedProcessLeavesTheFront",
                                     std::nullopt,
                                     OpeningAction::center,
                                     [](World& w, FakeAppModel& m, FakeScreens&) {
                                         w.onCall =
                                             atCall("mainWindowFrame", 0, [&m] { m.facts.process = viewer; });
                                     },
                                     Outcome::invalidated(),
                                     {"mainWindowFrame"},
                                     true}),
                         [](const ::testing::TestParamInfo<RunCase>& info) {
                             return std::string(info.param.name);
                         });

struct StartCase {
    const char* name;
    std::optional<FixedShortcut> shortcut; // else an automatic maximize
    std::function<void(FakeAppModel&, OpeningObservationProposal&)> change;
};

class MainWindowServiceStartTest : public MainWindowServiceTest,
                                   public ::testing::WithParamInterface<StartCase> {};

// A refused start touches no window and revokes whatever permit an earlier request still held.
TEST_P(MainWindowServiceStartTest, RefusesBeforeAnyCallAndRevokesTheHeldPermit) {
    transport->holding = true;
    const Running earlier = startManual(S::up);
    executor.runUntilIdle();
    ASSERT_EQ(transport->calls.size(), 1u);
    const auto earlierPermit = transport->calls.front().permit;

    OpeningObservationProposal offered = proposal(OpeningAction::maximize);
    GetParam().change(model, offered);
    const Running refused = GetParam().shortcut ? startManual(*GetParam().shortcut) : startAutomatic(offered);
    executor.runUntilIdle();
    EXPECT_EQ(*refused.outcome, Outcome::blocked());
    EXPECT_EQ(transport->calls.size(), 1u);
    EXPECT_FALSE(earlierPermit->isActive());
    EXPECT_EQ(model.authorizations, 0);

    transport->releaseOne();
    EXPECT_EQ(finish(earlier), Outcome::invalidated());
}

INSTANTIATE_TEST_SUITE_P(Starts, MainWindowServiceStartTest,
                         ::testing::Values(StartCase{"ManualWhileOperationIsNotAllowed", S::left,
                                                     [](FakeAppModel& m, OpeningObservationProposal&) {
                                                         m.facts.operationAllowed = false;
                                                     }},
                                           StartCase{"ManualWithNoFrontmostProcess", S::left,
                                                     [](FakeAppModel& m, OpeningObservationProposal&) {
                                                         m.facts.process.reset();
                                                     }},
                                           StartCase{"AutomaticWhileOperationIsNotAllowed", std::nullopt,
                                                     [](FakeAppModel& m, OpeningObservationProposal&) {
                                                         m.facts.operationAllowed = false;
                                                     }},
                                           StartCase{"AutomaticWhenTheProposalExpiresNow", std::nullopt,
                                                     [](FakeAppModel& m, OpeningObservationProposal& p) {
                                                         p.expiresAt = m.now;
                                                     }},
                                           StartCase{"AutomaticOfAnotherGeneration", std::nullopt,
                                                     [](FakeAppModel&, OpeningObservationProposal& p) {
                                                         ++p.generation;
                                                     }},
                                           StartCase{"AutomaticForAProcessNoLongerInFront", std::nullopt,
                                                     [](FakeAppModel& m, OpeningObservationProposal&) {
                                                         m.facts.process = viewer;
                                                     }},
                                           StartCase{"AutomaticForAnEarlierIncarnation", std::nullopt,
                                                     [](FakeAppModel&, OpeningObservationProposal& p) {
                                                         p.candidateID.process.incarnation = 0;
                                                     }}),
                         [](const ::testing::TestParamInfo<StartCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(MainWindowServiceTest, DeadlineIsTwoSecondsOrTheProposalsExpiryWhicheverComesFirst) {
    const ContinuousInstant begun = model.now;
    finish(startManual(S::left));
    for (ContinuousDuration expiry : {ContinuousDuration(seconds(5)), ContinuousDuration(milliseconds(1500)),
                                      ContinuousDuration(seconds(2))}) {
        transport->frame = original;
        finish(startAutomatic(proposal(OpeningAction::center, begun + expiry)));
    }
    std::vector<ContinuousInstant> deadlines;
    for (const auto& call : transport->calls) {
        if (call.name == "setFrame") {
            deadlines.push_back(call.deadline);
        }
    }
    EXPECT_THAT(deadlines, ElementsAre(begun + seconds(2), begun + seconds(2), begun + milliseconds(1500),
                                       begun + seconds(2)));
    // observe hears the deadline with every frame: the one read first and the one read back.
    ASSERT_EQ(model.observations.size(), 6u);
    EXPECT_EQ(model.observations[2].deadline, begun + milliseconds(1500));
    EXPECT_EQ(model.observations[2].frame, original);
    EXPECT_EQ(model.observations[3].deadline, begun + milliseconds(1500));
    EXPECT_EQ(model.observations[3].frame, frameOf(560, 255, 800, 600));
}

TEST_F(MainWindowServiceTest, SameRequestWhilePendingIsAlreadyPendingAndLeavesTheFirstRunAlone) {
    transport->holding = true;
    const Running first = startManual(S::left);
    executor.runUntilIdle();
    const Running second = startManual(S::left);
    executor.runUntilIdle();
    EXPECT_EQ(*second.outcome, Outcome::alreadyPending());
    EXPECT_TRUE(transport->calls.front().permit->isActive());

    transport->holding = false;
    transport->releaseOne();
    EXPECT_EQ(finish(first), Outcome::observed(frameOf(0, 30, 960, 1050)));
}

TEST_F(MainWindowServiceTest, AnotherShortcutSupersedesThePendingRequest) {
    transport->holding = true;
    const Running first = startManual(S::left);
    executor.runUntilIdle();
    const Running second = startManual(S::right);
    executor.runUntilIdle();
    ASSERT_EQ(transport->calls.size(), 2u);
    EXPECT_FALSE(transport->calls[0].permit->isActive());
    EXPECT_TRUE(transport->calls[1].permit->isActive());

    transport->holding = false;
    while (transport->releaseOne()) {
    }
    EXPECT_EQ(finish(first), Outcome::invalidated());
    EXPECT_EQ(finish(second), Outcome::observed(frameOf(960, 30, 960, 1050)));
}

// A late stale run must not stop the run that replaced it: a hot key pressed while an opening rule's
// read is out cancels the automatic run, and that run's re-check, when its read finally returns,
// revokes its own permit only.
TEST_F(MainWindowServiceTest, LateRecheckOfACancelledAutomaticRunLeavesTheManualRunThatReplacedIt) {
    transport->holding = true;
    const Running automatic = startAutomatic(proposal(OpeningAction::center));
    executor.runUntilIdle();
    ASSERT_EQ(transport->heldCount(), 1u);

    // The execution owner cancels the automatic execution, then runs the hot key.
    automatic.task.cancel();
    service->cancel();
    const Running manual = startManual(S::left);
    executor.runUntilIdle();
    ASSERT_EQ(transport->heldCount(), 2u);
    const auto manualPermit = transport->calls[1].permit;

    transport->releaseOne(); // the automatic run's read returns late
    executor.runUntilIdle();
    EXPECT_EQ(*automatic.outcome, Outcome::invalidated());
    EXPECT_TRUE(manualPermit->isActive());

    transport->holding = false;
    transport->releaseOne();
    EXPECT_EQ(finish(manual), Outcome::observed(frameOf(0, 30, 960, 1050)));
    EXPECT_THAT(transport->callNames(), ElementsAre("mainWindowFrame", "mainWindowFrame", "sizeCapabilities",
                                                    "setFrame", "mainWindowFrame"));
}

TEST_F(MainWindowServiceTest, CancellingTheTaskDuringTheFirstReadRevokesThePermitBeforeAnyWrite) {
    std::optional<platform::Task<>> task;
    transport->onCall = atCall("mainWindowFrame", 0, [&] { task->cancel(); });
    const Running running = startManual(S::left);
    task = running.task;
    EXPECT_EQ(finish(running), Outcome::invalidated());
    EXPECT_THAT(transport->callNames(), ElementsAre("mainWindowFrame"));
    EXPECT_FALSE(transport->calls.front().permit->isActive());
}

TEST_F(MainWindowServiceTest, CancelRevokesTheRunningRequestsPermitAndClearsIt) {
    transport->holding = true;
    const Running running = startManual(S::left);
    executor.runUntilIdle();
    service->cancel();
    EXPECT_FALSE(service->pendingRequest().has_value());
    EXPECT_FALSE(transport->calls.front().permit->isActive());
    transport->releaseOne();
    EXPECT_EQ(finish(running), Outcome::invalidated());
}

TEST_F(MainWindowServiceTest, ARunWhoseServiceWentEndsInvalidatedWithoutWriting) {
    transport->holding = true;
    const Running running = startManual(S::left);
    executor.runUntilIdle();
    service.reset();
    transport->releaseOne();
    EXPECT_EQ(finish(running), Outcome::invalidated());
    EXPECT_THAT(transport->callNames(), ElementsAre("mainWindowFrame"));
    EXPECT_FALSE(transport->calls.front().permit->isActive());
}

TEST(WindowOperationOutcomeTest, ComparesPayloadsOfObservedAndFailedOnly) {
    EXPECT_EQ(Outcome::observed(frameOf(0, 0, 10, 10)), Outcome::observed(frameOf(0, 0, 10, 10)));
    EXPECT_NE(Outcome::observed(frameOf(0, 0, 10, 10)), Outcome::observed(frameOf(0, 0, 10, 10.5)));
    EXPECT_NE(Outcome::failed(F::remote(1)), Outcome::failed(F::remote(2)));
    EXPECT_NE(Outcome::failed(F::invalidated()), Outcome::invalidated());
    EXPECT_NE(Outcome::unconfirmed(), Outcome::blocked());
}

} // namespace
} // namespace tidewright
