// The opening coordinator on a private X display with openbox, over the live workspace, window list,
// window-created signal and transport, and what those stand-ins must give it.

#include "tidewright/applications/OpeningObservationCoordinator.hpp"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/accessibility/AccessibilityNames.hpp"
#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"
#include "platform/accessibility/x11/X11AccessibilityObservers.hpp"
#include "platform/concurrency/LiveClock.hpp"
#include "platform/concurrency/MainExecutor.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/concurrency/ThreadPool.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "platform/windowserver/X11WindowServer.hpp"
#include "platform/workspace/LiveWorkspace.hpp"
#include "platform/x11/X11Desktop.hpp"
#include "tidewright/applications/ApplicationCatalog.hpp"
#include "tidewright/applications/OpeningMetadataReader.hpp"
#include "tidewright/windowcontrol/AccessibilityMainWindowTransport.hpp"
#include "tidewright/windowcontrol/AccessibilityWindowSignal.hpp"
#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"

namespace tidewright {
namespace {

using namespace std::chrono_literals;
using Coordinator = OpeningObservationCoordinator;
using platform::testing::TestClient;
using platform::testing::WindowId;
using platform::testing::X11TestWorld;

// Every test client has this window class, and no desktop entry: this is its application.
const BundleID testApplication("wmclass.TidewrightTest");

DesktopFrame desktopFrame(const platform::x11::PixelRect& rect) {
    return DesktopFrame(DesktopPoint{Points(rect.x), Points(rect.y)},
                        WindowSize(Points(rect.width), Points(rect.height)));
}

// A window that the window manager manages but never shows: it starts minimized (WM_HINTS with
// the initial state iconic).
const std::string neverShown = "prop=WM_HINTS:WM_HINTS:32:2,0,3,0,0,0,0,0,0";

// The app model's part, cut down: the catalog's frontmost process and focus generation as the
// facts, one rule for the test application, and every lifecycle event queued to the coordinator
// behind the one before, as the execution owner does.
class LiveOpeningTest : public ::testing::Test {
protected:
    ~LiveOpeningTest() override {
        if (coordinator) {
            coordinator->stop();
        }
        if (catalog) {
            catalog->stop();
        }
    }

    OpeningObservationFacts facts() {
        return {true,
                catalog->focusGeneration(),
                catalog->frontmostProcess(),
                {{testApplication, OpeningAction::maximize}}};
    }

    void startCoordinator() {
        workspace = std::make_unique<platform::LiveWorkspace>(
            platform::LiveWorkspace::Settings{world.display(), 0, {}}, index, executor);
        catalog = ApplicationCatalog::make(*workspace);
        catalog->start();
        auto transport = std::make_shared<AccessibilityMainWindowTransport<LiveAccessibilityCalls>>(
            LiveAccessibilityCalls(std::make_shared<platform::X11AccessibilityBackend>(world.display())),
            [] { return false; });
        metadata = OpeningMetadataReader::create(
            transport, transport, [this] { return facts(); }, [this] { return catalog->runningProcesses(); },
            clock);
        auto inventory = std::make_shared<CGOpeningInventory>(
            std::make_shared<platform::X11WindowServer>(world.display()), pool);
        auto signal = AccessibilityWindowSignal::create(
            std::make_shared<platform::X11AccessibilityObservers>(world.display(), executor), executor, pool,
            clock);
        coordinator = Coordinator::create(
            inventory, metadata, metadata, [this] { return facts(); }, clock, signal, executor);
        coordinator->onCandidate = [this](const OpeningObservationProposal& proposal) {
            proposals.push_back(proposal);
        };
        catalog->onFocusChange = [this] {
            coordinator->refreshFacts();
        };
        catalog->onLifecycle = [this](const ApplicationLifecycle& event) {
            enqueue([event, at = clock.now()](Coordinator& c) { return c.receive(event, at); });
        };
        enqueue([processes = catalog->runningProcesses()](Coordinator& c) { return c.start(processes); });
        ASSERT_TRUE(until([&] { return idle(); }));
    }

    template <class Step>
    void enqueue(Step step) {
        ++queued;
        const std::optional<platform::Task<>> previous = last;
        last = platform::spawn(executor, [this, previous, c = coordinator, step]() -> platform::Async<> {
            if (previous) {
                co_await *previous;
            }
            co_await step(*c);
            ++finished;
        });
    }
    bool idle() const { return finished == queued; }

    // Runs the event loop until done holds; the limit only ends a failing test.
    bool until(const std::function<bool()>& done, std::chrono::milliseconds limit = 15s) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < limit.count()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        return done();
    }

    std::optional<ProcessID> processOf(pid_t pid) const {
        for (const ProcessID& process : catalog->runningProcesses()) {
            if (process.pid == pid) {
                return process;
            }
        }
        return std::nullopt;
    }
    std::vector<OpeningObservationProposal> proposalsFor(pid_t pid) const {
        std::vector<OpeningObservationProposal> found;
        std::copy_if(proposals.begin(), proposals.end(), std::back_inserter(found),
                     [&](const OpeningObservationProposal& p) { return p.candidateID.process.pid == pid; });
        return found;
    }
    // The coordinator is done with the process's first opportunity: used up or ended.
    bool openingSettled(pid_t pid) const {
        const auto process = processOf(pid);
        const Coordinator::ProcessState* state = process ? coordinator->state(*process) : nullptr;
        return state != nullptr && state->ordinal >= 1 && !state->opportunity && idle();
    }
    DesktopFrame frameNow(WindowId window) {
        return desktopFrame(world.desktop().frame(window, world.soon()));
    }

    std::optional<bool> complete(const OpeningObservationProposal& proposal, DesktopFrame observed) {
        auto answer = std::make_shared<std::optional<bool>>();
        auto task = platform::spawn(executor,
                                    [c = coordinator, proposal, observed, answer,
                                     deadline = clock.now() + 2s]() -> platform::Async<> {
                                        *answer = co_await c->complete(proposal, deadline, observed);
                                    });
        until([&] { return answer->has_value(); });
        return *answer;
    }

    X11TestWorld world;
    platform::MainExecutor executor;
    platform::LiveClock clock;
    platform::ThreadPool pool{2, "opening-live"};
    QTemporaryDir data;
    platform::xdg::DesktopEntryIndex index{{{data.path()}, QStringLiteral("C"), {}}, executor, pool};
    std::unique_ptr<platform::LiveWorkspace> workspace;
    std::shared_ptr<ApplicationCatalog> catalog;
    std::shared_ptr<OpeningMetadataReader> metadata;
    std::shared_ptr<Coordinator> coordinator;
    std::vector<OpeningObservationProposal> proposals;
    std::optional<platform::Task<>> last;
    int queued = 0;
    int finished = 0;
};

TEST_F(LiveOpeningTest, ALaunchedApplicationsFirstWindowIsProposedOnceAtItsFrame) {
    startCoordinator();
    auto client = world.startClient();
    const WindowId window = client->open("title=first x=200 y=150 w=500 h=400");
    ASSERT_TRUE(until([&] { return openingSettled(client->pid()); }));

    const auto found = proposalsFor(client->pid());
    ASSERT_EQ(found.size(), 1u);
    const OpeningObservationProposal& proposal = found[0];
    EXPECT_EQ(proposal.candidateID.token, window);
    EXPECT_EQ(proposal.candidateID.process, processOf(client->pid()));
    EXPECT_EQ(proposal.action, OpeningAction::maximize);
    EXPECT_EQ(proposal.cycle.ordinal, 1u);
    EXPECT_EQ(proposal.expectedFrame, frameNow(window));

    EXPECT_TRUE(coordinator->claim(proposal));
    EXPECT_FALSE(coordinator->claim(proposal));
    EXPECT_EQ(complete(proposal, proposal.expectedFrame), std::optional(true));
}

TEST_F(LiveOpeningTest, WindowsOpenBeforeTheCoordinatorStartedGetNoProposal) {
    auto early = world.startClient();
    early->open("title=early x=100 y=100 w=400 h=300");
    startCoordinator();
    const auto process = processOf(early->pid());
    ASSERT_TRUE(process.has_value());
    ASSERT_NE(coordinator->state(*process), nullptr);
    EXPECT_EQ(coordinator->state(*process)->ledger.baseline(), OpeningBaseline::hasWindows);

    // Another application comes to the front, then the early one again with a second window.
    auto other = world.startClient();
    other->open("title=other x=600 y=300 w=400 h=300");
    ASSERT_TRUE(until([&] { return openingSettled(other->pid()); }));
    early->open("title=early-second x=150 y=150 w=400 h=300");
    ASSERT_TRUE(until([&] { return catalog->frontmostProcess() == process && idle(); }));

    EXPECT_TRUE(proposalsFor(early->pid()).empty());
    EXPECT_EQ(coordinator->state(*process)->ordinal, 0u)
        << "an application with windows opens no opportunity";
    EXPECT_EQ(proposalsFor(other->pid()).size(), 1u);
}

TEST_F(LiveOpeningTest, AWindowThatResizesItselfAfterMappingIsNeverProposedAtAStaleFrame) {
    startCoordinator();
    auto client = world.startClient();
    const WindowId window = client->open("title=clamped x=200 y=150 w=800 h=600 resize=clamp:640x400");
    ASSERT_TRUE(
        until([&] { return world.clientGeometry(window).width == 640 && openingSettled(client->pid()); }));

    const auto found = proposalsFor(client->pid());
    ASSERT_LE(found.size(), 1u);
    if (found.empty()) {
        return; // the coordinator saw the frames disagree until its pass ended: no action
    }
    const OpeningObservationProposal& proposal = found[0];
    const DesktopFrame settled = frameNow(window);
    if (!coordinator->claim(proposal)) {
        return; // the facts moved on meanwhile
    }
    const std::optional<bool> confirmed = complete(proposal, settled);
    ASSERT_TRUE(confirmed.has_value());
    EXPECT_EQ(*confirmed, proposal.expectedFrame == settled)
        << "a proposal is confirmed only at the frame the window now has";
}

// ---- What the stand-ins give the coordinator ----

TEST(LiveOpeningStandInsTest, TheFrontmostApplicationIsTheValueOfThePostedStream) {
    X11TestWorld world;
    platform::ManualExecutor executor;
    platform::ThreadPool pool{1, "frontmost-test"};
    QTemporaryDir data;
    platform::xdg::DesktopEntryIndex index{{{data.path()}, QStringLiteral("C"), {}}, executor, pool};
    auto first = world.startClient();
    const WindowId firstWindow = first->open("title=first w=300 h=200");
    // A window is mapped before the window manager makes it active; the workspace starts after that.
    ASSERT_TRUE(world.waitUntil([&] { return world.activeWindow() == firstWindow; }));
    platform::LiveWorkspace workspace(platform::LiveWorkspace::Settings{world.display(), 0, {}}, index,
                                      executor);
    ASSERT_EQ(workspace.frontmostApplication()->processIdentifier, first->pid());

    // What the workspace answered when each notice was delivered.
    struct Delivery {
        platform::WorkspaceMessage message;
        pid_t about;
        std::optional<pid_t> frontmost;
    };
    std::vector<Delivery> deliveries;
    std::vector<platform::WorkspaceObservation> observations;
    for (auto message : {platform::WorkspaceMessage::didLaunchApplication,
                         platform::WorkspaceMessage::didActivateApplication,
                         platform::WorkspaceMessage::didDeactivateApplication}) {
        observations.push_back(
            workspace.observe(message, [&, message](const platform::RunningApplication& application) {
                const auto frontmost = workspace.frontmostApplication();
                deliveries.push_back(
                    {message, application.processIdentifier,
                     frontmost ? std::optional(frontmost->processIdentifier) : std::nullopt});
            }));
    }

    auto second = world.startClient();
    const WindowId window = second->open("title=second w=300 h=200");
    ASSERT_TRUE(world.waitUntil([&] { return world.activeWindow() == window; }));
    // The display already has the new window active; the notices have not been delivered.
    EXPECT_EQ(workspace.frontmostApplication()->processIdentifier, first->pid());

    ASSERT_TRUE(executor.runUntil(
        [&] {
            return std::any_of(deliveries.begin(), deliveries.end(), [&](const Delivery& d) {
                return d.message == platform::WorkspaceMessage::didActivateApplication &&
                       d.about == second->pid();
            });
        },
        std::chrono::seconds(10)));
    // Until its activation was delivered, the second application was not in front.
    for (const Delivery& delivery : deliveries) {
        const bool activation = delivery.message == platform::WorkspaceMessage::didActivateApplication &&
                                delivery.about == second->pid();
        EXPECT_EQ(delivery.frontmost == second->pid(), activation)
            << static_cast<int>(delivery.message) << " about " << delivery.about;
        if (activation) {
            break;
        }
    }
    EXPECT_EQ(workspace.frontmostApplication()->processIdentifier, second->pid());
}

TEST(LiveOpeningStandInsTest, PresenceInventoryAndSignalCountOnlyWindowsTheWindowManagerShows) {
    X11TestWorld world;
    auto client = world.startClient();
    platform::ManualExecutor executor;
    platform::X11AccessibilityObservers observers(world.display(), executor);
    int created = 0;
    std::shared_ptr<platform::AXObserver> observer;
    ASSERT_EQ(observers.createObserver(
                  client->pid(), [&](const platform::AXObserver&, std::string_view) { ++created; }, observer),
              platform::AXError::success);
    ASSERT_EQ(observer->addNotification(observers.createApplication(client->pid()),
                                        platform::windowCreatedNotification),
              platform::AXError::success);
    observer->attach();

    platform::X11AccessibilityBackend backend(world.display());
    platform::X11WindowServer server(world.display());
    const auto presence = [&] {
        std::int64_t count = -1;
        EXPECT_EQ(backend.getAttributeValueCount(backend.createApplication(client->pid()),
                                                 platform::ax::windowsAttribute, count),
                  platform::AXError::success);
        return count;
    };
    const auto onscreen = [&] {
        const OpeningInventoryResult inventory =
            parseOpeningInventory(server.copyWindowInfo(), {client->pid()});
        EXPECT_TRUE(inventory.isAvailable());
        return std::count_if(inventory.entries().begin(), inventory.entries().end(),
                             [](const OpeningInventoryEntry& entry) { return entry.isOnscreen; });
    };

    // Managed, but never shown: no signal, and neither presence nor the inventory shows it.
    const WindowId hidden = client->open("title=hidden w=300 h=200 " + neverShown);
    world.watch(hidden);
    ASSERT_TRUE(world.waitUntil([&] { return world.desktop().iconic(hidden, world.soon()); }));
    EXPECT_EQ(presence(), 0);
    EXPECT_EQ(onscreen(), 0);

    // A shown window: all three count it, and only it.
    client->open("title=shown w=300 h=200");
    ASSERT_TRUE(executor.runUntil([&] { return created >= 1; }, std::chrono::seconds(10)));
    EXPECT_EQ(created, 1);
    EXPECT_EQ(presence(), 1);
    EXPECT_EQ(onscreen(), 1);
    observer->detach();
    executor.runUntilIdle();
}

} // namespace
} // namespace tidewright
