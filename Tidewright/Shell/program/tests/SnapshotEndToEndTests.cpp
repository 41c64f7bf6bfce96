// The real program in snapshot mode on a private display: one borderless window of the panel's
// snapshot, drawn as the golden image shows it.

#include "corbel/ui/testing/GoldenImages.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/shell/ProgramUnderTest.hpp"
#include "tidewright/shell/SnapshotCapture.hpp"

#include <gtest/gtest.h>

#include <sys/wait.h>

namespace tidewright {
namespace {

TEST(SnapshotEndToEndTest, TheConflictsPanelIsOneWindowDrawnAsTheGolden) {
    // Taller than the snapshot, which must be wholly on screen to be read back.
    platform::testing::X11TestWorld world({.width = 1920, .height = 1600, .windowManager = true});
    const testing::ProgramUnderTest setup(world.display());
    const testing::SnapshotShot shot = testing::captureSnapshot(
        world, setup, {"--snapshot-state", "conflicts", "--snapshot-locale", "en", "--snapshot-light"});
    ASSERT_FALSE(shot.exitStatus) << "the program ended (wait status " << *shot.exitStatus << ")";
    ASSERT_FALSE(shot.image.isNull()) << "no snapshot window was drawn";
    EXPECT_EQ(shot.windows.size(), 1u);
    // The panel is 368 points wide, shown at twice its size on this screen of scale 1.
    EXPECT_EQ(shot.image.width(), 2 * 368);

    const corbel::testing::GoldenImages goldens(QStringLiteral(TIDEWRIGHT_PROGRAM_GOLDEN_FOLDER),
                                                QStringLiteral(TIDEWRIGHT_PROGRAM_GOLDEN_FAILURE_FOLDER));
    EXPECT_TRUE(goldens.matches(QStringLiteral("snapshot-panel-conflicts"), shot.image));
}

TEST(SnapshotEndToEndTest, WithoutADisplayOneLineAndStatusOne) {
    platform::testing::ChildProcess::Options options;
    options.environment = {{"DISPLAY", ":1023"}, {"QT_QPA_PLATFORM", "xcb"}};
    options.passedDescriptor = 2;
    options.quiet = true;
    platform::testing::ChildProcess program({TIDEWRIGHT_PROGRAM, "--snapshot-state", "ready"}, options);
    const std::optional<int> status = program.waitForExit(std::chrono::seconds(20));
    ASSERT_TRUE(status);
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1) << *status;
    const std::optional<std::string> line = program.readLine(std::chrono::seconds(1));
    ASSERT_TRUE(line);
    EXPECT_EQ(*line, "Tidewright needs an X11 display: cannot open display ':1023'.");
    EXPECT_FALSE(program.readLine(std::chrono::milliseconds(200))) << "one line only";
}

} // namespace
} // namespace tidewright
