// Opening rules end to end on a private display with two monitors and a dock: test clients are the
// applications, their desktop entries come from a temporary folder, and every stand-in is live.

#include "OpeningRulesRig.hpp"
#include "WindowControlTestSupport.hpp"

#include "tidewright/core/WindowPlacement.hpp"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <memory>
#include <optional>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidewright {

void PrintTo(const WindowOperationOutcome& outcome, std::ostream* out) {
    *out << caseName(outcome.kind());
    if (auto frame = outcome.frame()) {
        *out << " " << frame->minX() << "," << frame->minY() << " to " << frame->maxX() << ","
             << frame->maxY();
    }
}

namespace {

using platform::testing::WindowId;

const BundleID maximized("org.example.Maximized");
const BundleID centred("org.example.Centred");
const BundleID plain("org.example.Plain");

class OpeningRulesEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The primary monitor on the left with a 40-pixel dock along its bottom; a smaller one beside it.
        world.setMonitors({{"primary", {0, 0, 1920, 1080}, true}, {"side", {1920, 0, 1600, 900}, false}});
        dock->open("title=dock type=dock decor=0 x=0 y=1040 w=1920 h=40 "
                   "strutpartial=0,0,0,160,0,0,0,0,0,0,0,1919");
        ASSERT_TRUE(data.isValid());
        ASSERT_TRUE(QDir().mkpath(data.filePath(QStringLiteral("applications"))));
        for (const auto& [id, name] :
             {std::pair{maximized, "Maximized"}, std::pair{centred, "Centred"}, std::pair{plain, "Plain"}}) {
            QFile entry(data.filePath(QStringLiteral("applications/") +
                                      QString::fromStdString(id.rawValue()) + QStringLiteral(".desktop")));
            ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
            entry.write(desktopEntry(name, name).c_str());
        }
        rig = std::make_unique<OpeningRulesRig>(world, data.path());
        rig->rules = {{maximized, OpeningAction::maximize}, {centred, OpeningAction::center}};
        rig->start();
    }

    void TearDown() override { rig.reset(); }

    // Starts a new process of the application whose windows carry windowClass and opens its first
    // window.
    WindowId launch(const std::string& windowClass, const std::string& options) {
        clients.push_back(world.startClient());
        return clients.back()->open("title=" + windowClass + " " + options + " " +
                                    windowClassOption(windowClass));
    }

    DesktopFrame frameOfWindow(WindowId window) { return outerFrame(world, window); }

    DesktopFrame usable(std::size_t screen) { return rig->screens->screens().at(screen).usableArea(); }

    // Waits until the window has the frame and the owner reported the action.
    bool settlesAt(WindowId window, const DesktopFrame& frame, std::size_t reports) {
        return rig->until([&] {
            return rig->reports.size() >= reports && !rig->owner->executionKind() &&
                   frameOfWindow(window) == frame;
        });
    }

    platform::testing::X11TestWorld world{{.width = 3520, .height = 1200}};
    std::unique_ptr<platform::testing::TestClient> dock = world.startClient();
    std::vector<std::unique_ptr<platform::testing::TestClient>> clients;
    QTemporaryDir data;
    std::unique_ptr<OpeningRulesRig> rig;
};

TEST_F(OpeningRulesEndToEndTest,
       AMaximizeRuleFillsTheUsableAreaOfTheWindowsMonitorAndLeavesTheSecondWindowAlone) {
    for (const std::size_t screen : {std::size_t{1}, std::size_t{0}}) {
        SCOPED_TRACE(screen);
        rig->reports.clear();
        const WindowId window =
            launch("Maximized", screen == 1 ? "x=2100 y=200 w=500 h=400" : "x=300 y=200 w=500 h=400");
        ASSERT_TRUE(settlesAt(window, usable(screen), 1))
            << "the window stayed at " << frameOfWindow(window).minX();
        EXPECT_EQ(rig->reports.at(0).outcome, WindowOperationOutcome::observed(usable(screen)));
    }

    // A second window of the same process stays where it opened; the launch of another application
    // with a rule, handled after it, marks when the first one's chance would have come and gone.
    const WindowId second =
        clients.front()->open("title=second x=2200 y=300 w=400 h=300 " + windowClassOption("Maximized"));
    const DesktopFrame secondFrame = frameOfWindow(second);
    const WindowId marker = launch("Centred", "x=100 y=100 w=600 h=400");
    ASSERT_TRUE(rig->until([&] { return rig->reports.size() == 2 && !rig->owner->executionKind(); }));
    EXPECT_EQ(rig->reports.back().outcome, WindowOperationOutcome::observed(frameOfWindow(marker)));
    EXPECT_EQ(frameOfWindow(second), secondFrame);
}

TEST_F(OpeningRulesEndToEndTest, ACenterRuleCentresTheWindowInItsMonitorsUsableArea) {
    const WindowId window = launch("Centred", "x=40 y=60 w=600 h=400");
    ASSERT_TRUE(rig->until([&] { return rig->reports.size() == 1 && !rig->owner->executionKind(); }));
    const DesktopFrame frame = frameOfWindow(window);
    EXPECT_EQ(rig->reports[0].outcome, WindowOperationOutcome::observed(frame));
    const DesktopFrame area = usable(0);
    // Whole points: the centre may lie half a point off on each axis.
    EXPECT_LE(std::abs((frame.minX() + frame.maxX()) - (area.minX() + area.maxX())), 2.0);
    EXPECT_LE(std::abs((frame.minY() + frame.maxY()) - (area.minY() + area.maxY())), 2.0);
}

TEST_F(OpeningRulesEndToEndTest, AnApplicationWithoutARuleIsLeftAlone) {
    const WindowId window = launch("Plain", "x=300 y=200 w=500 h=400");
    const DesktopFrame opened = frameOfWindow(window);
    // Events are handled in order: once a later launch with a rule was acted on, this one was seen.
    launch("Maximized", "x=2100 y=200 w=500 h=400");
    ASSERT_TRUE(rig->until([&] { return rig->reports.size() == 1 && !rig->owner->executionKind(); }));
    EXPECT_EQ(rig->reports[0].outcome, WindowOperationOutcome::observed(usable(1)));
    EXPECT_EQ(frameOfWindow(window), opened);
    const std::optional<ProcessID> process = rig->processOf(clients.front()->pid());
    ASSERT_TRUE(process.has_value());
    EXPECT_EQ(rig->coordinator->state(*process), nullptr);
}

TEST_F(OpeningRulesEndToEndTest, AHotKeyPressedWhileAnotherApplicationLaunchesMovesTheFrontmostWindow) {
    const WindowId front = launch("Plain", "x=300 y=200 w=500 h=400");
    ASSERT_TRUE(rig->until([&] {
        const std::optional<ProcessID> process = rig->processOf(clients.front()->pid());
        return process && rig->facts().frontmost == process;
    }));
    const DesktopFrame expected =
        WindowPlacement::plan(WindowAction::leftHalf, frameOfWindow(front), rig->screens->screens(),
                              SizeCapabilities::unknown(), PlacementOriginAlignment::wholePoints)
            .requested.frame;

    // The press has read its window and waits for its authorisation while the other application
    // opens its first window behind it.
    rig->heldAuthorizations.hold = true;
    rig->owner->perform(FixedShortcut::left);
    ASSERT_TRUE(rig->until([&] { return !rig->heldAuthorizations.empty(); }));
    const WindowId behind =
        launch("Maximized", "x=2100 y=200 w=500 h=400 propfocus=_NET_WM_USER_TIME:CARDINAL:32:0");
    const DesktopFrame behindFrame = frameOfWindow(behind);
    ASSERT_TRUE(rig->until([&] {
        const std::optional<ProcessID> process = rig->processOf(clients.back()->pid());
        return process && rig->coordinator->state(*process) != nullptr;
    }));
    ASSERT_EQ(rig->owner->executionKind(), ExecutionKind::manual);
    rig->heldAuthorizations.releaseAll();

    ASSERT_TRUE(settlesAt(front, expected, 1));
    EXPECT_EQ(rig->reports[0].outcome, WindowOperationOutcome::observed(expected));
    EXPECT_EQ(frameOfWindow(behind), behindFrame);
}

} // namespace
} // namespace tidewright
