// The execution owner over the live window operation service on a private display, with a fake
// coordinator: a hot key pressed while an opening rule's action is half done still moves the window.

#include "tidewright/windowcontrol/WindowExecutionOwner.hpp"

#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/screens/ScreenService.hpp"
#include "platform/screens/X11ScreenSource.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/core/WindowPlacement.hpp"
#include "tidewright/windowcontrol/AccessibilityMainWindowTransport.hpp"
#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"

#include "FakeOpeningCoordinator.hpp"
#include "WindowControlTestSupport.hpp"

#include <chrono>
#include <memory>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidewright {

void PrintTo(const WindowOperationOutcome& outcome, std::ostream* out) {
    *out << caseName(outcome.kind());
}

namespace {

using platform::testing::WindowId;
using ::testing::ElementsAre;

class LiveWindowExecutionOwnerTest : public ::testing::Test {
protected:
    DesktopFrame independentFrame(WindowId window) {
        const platform::x11::PixelRect client = world.clientGeometry(window);
        const platform::x11::Extents wm = world.frameExtents(window);
        return frameOf(client.x - wm.left, client.y - wm.top, client.width + wm.left + wm.right,
                       client.height + wm.top + wm.bottom);
    }

    platform::testing::X11TestWorld world;
    std::unique_ptr<platform::testing::TestClient> client = world.startClient();
    platform::ManualExecutor executor;
    OpeningObservationFacts facts;
    std::shared_ptr<const platform::ScreenService> screens =
        std::make_shared<platform::ScreenService>(std::make_shared<platform::X11ScreenSource>(world.display()));
    std::shared_ptr<MainWindowService> service = MainWindowService::make(
        std::make_shared<AccessibilityMainWindowTransport<LiveAccessibilityCalls>>(
            LiveAccessibilityCalls(std::make_shared<platform::X11AccessibilityBackend>(world.display())),
            [] { return false; }),
        screens,
        [this] {
            return WindowOperationFacts{facts.frontmost, facts.generation, facts.operationAllowed};
        },
        [] { return platform::ContinuousClock::now(); });
    std::shared_ptr<FakeOpeningCoordinator> opening = std::make_shared<FakeOpeningCoordinator>();
    std::vector<WindowOperationOutcome> outcomes;
    std::shared_ptr<WindowExecutionOwner> owner = WindowExecutionOwner::make(
        executor, std::make_shared<MainWindowServicePerformer>(service), opening, [this] { return facts; },
        []() -> platform::Async<bool> { co_return true; }, [] {},
        [this](const WindowOperationOutcome& outcome) { outcomes.push_back(outcome); });
};

TEST_F(LiveWindowExecutionOwnerTest, AHotKeyPressedDuringAnAutomaticActionEndsObserved) {
    const WindowId window = client->open("title=opened w=500 h=400 x=300 y=200");
    ASSERT_TRUE(world.waitUntil([&] { return world.activeWindow() == window; }));
    const ProcessID process{BundleID("org.example.TestClient"), client->pid(), 1};
    facts = OpeningObservationFacts{true, 3, process, {{process.app, OpeningAction::center}}};
    owner->start({process});
    executor.runUntilIdle();

    // The automatic action has read the window and now waits for the coordinator's confirmation.
    opening->held.hold = true;
    const OpeningObservationProposal proposal{
        WindowID{process, 1},       independentFrame(window),
        OpeningCycleID{process, 1}, OpeningAction::center,
        facts.generation,           platform::ContinuousClock::now() + std::chrono::seconds(10)};
    owner->performAutomatic(proposal);
    ASSERT_TRUE(executor.runUntil([&] { return opening->held.size() == 1; }, std::chrono::seconds(10)));
    ASSERT_EQ(owner->executionKind(), ExecutionKind::automatic);

    // The press takes over; the automatic run resumes late, while the manual run's reads are out.
    owner->perform(FixedShortcut::left);
    opening->held.releaseAll();
    ASSERT_TRUE(executor.runUntil([&] { return !owner->executionKind(); }, std::chrono::seconds(10)));

    const DesktopFrame expected =
        WindowPlacement::plan(WindowAction::leftHalf, proposal.expectedFrame, screens->screens(),
                              SizeCapabilities::unknown(), PlacementOriginAlignment::wholePoints)
            .requested.frame;
    EXPECT_THAT(outcomes, ElementsAre(WindowOperationOutcome::observed(expected)));
    EXPECT_EQ(independentFrame(window), expected);
    EXPECT_THAT(opening->calls("complete"), ElementsAre("complete"));
}

} // namespace
} // namespace tidewright
