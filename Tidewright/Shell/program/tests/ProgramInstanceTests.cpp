// The real program and the display: a second start on a display where it runs hands over to the
// first and touches no file, a missing display is one line and status 1, and the shortcuts that
// another program holds are named in the log.

#include "platform/concurrency/ManualClock.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/hotkeys/ForeignKeyGrab.hpp"
#include "platform/testing/ChildProcess.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/preferences/PreferenceInstallation.hpp"
#include "tidewright/shell/ProgramUnderTest.hpp"

#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace tidewright {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::ProgramUnderTest;

const std::string conflictWarning = "another program holds ";

// Every file and folder under a root, with its contents and the time it was last written.
struct Written {
    std::string contents;
    fs::file_time_type at;
    bool operator==(const Written&) const = default;
};
using Tree = std::map<std::string, Written>;

Tree treeOf(const fs::path& root) {
    Tree tree{{".", {{}, fs::last_write_time(root)}}};
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
        std::string contents;
        if (entry.is_regular_file()) {
            std::ifstream input(entry.path(), std::ios::binary);
            contents.assign(std::istreambuf_iterator<char>(input), {});
        }
        tree[fs::relative(entry.path(), root).string()] = {contents, entry.last_write_time()};
    }
    return tree;
}

// Stops the process and returns once it is stopped (SIGSTOP cannot be caught or ignored).
bool stop(pid_t pid) {
    siginfo_t info{};
    return ::kill(pid, SIGSTOP) == 0 && ::waitid(P_PID, static_cast<id_t>(pid), &info, WSTOPPED | WNOWAIT) == 0;
}

// A display number that no X server uses: neither its lock file nor its socket exists.
std::string freeDisplay() {
    for (int number = 900; number < 1000; ++number) {
        const std::string n = std::to_string(number);
        if (!fs::exists("/tmp/.X" + n + "-lock") && !fs::exists("/tmp/.X11-unix/X" + n)) {
            return ":" + n;
        }
    }
    throw std::runtime_error("no free display number");
}

class ProgramInstanceTest : public ::testing::Test {
protected:
    // Turns operation on or off from another installation over the same synced folder.
    void switchOperation(bool enabled) {
        if (!other) {
            other = std::make_unique<testing::PreferenceInstallation>(setup.root() / "synced",
                                                                       setup.root() / "other.json", executor, clock);
        }
        other->repository->apply(PreferenceEdit::enabled(enabled));
        executor.runUntilIdle();
    }

    platform::testing::X11TestWorld world;
    ProgramUnderTest setup{world.display()};
    platform::ManualExecutor executor;
    platform::ManualClock clock{executor};
    std::unique_ptr<testing::PreferenceInstallation> other;
};

TEST_F(ProgramInstanceTest, ASecondStartHandsOverToTheFirstAndTouchesNoFile) {
    const auto first = setup.start();
    ASSERT_TRUE(first->waitForHeldHotkeys(6)) << "the first start runs";
    // Held still, the first writes nothing while the second runs: whatever changes is the second's.
    ASSERT_TRUE(stop(first->pid()));
    const Tree before = treeOf(setup.root());

    const auto second = setup.start();
    const std::optional<int> status = second->process().waitForExit(std::chrono::seconds(5));
    ASSERT_TRUE(status) << "the second start is still running";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 0) << "wait status " << *status;
    EXPECT_TRUE(second->waitForLine("already runs on this display", std::chrono::seconds(1)))
        << second->remainingLog();
    EXPECT_TRUE(treeOf(setup.root()) == before) << "the second start wrote under the program's folders";

    ASSERT_EQ(::kill(first->pid(), SIGCONT), 0);
    EXPECT_TRUE(first->waitForLine("another start asked for the panel")) << first->remainingLog();
    // No tray here: the panel opens at the pointer, the first start's only window.
    EXPECT_TRUE(world.waitUntil([&] { return !world.viewableWindowsOf(first->pid()).empty(); },
                                std::chrono::seconds(10)))
        << "the first shows its panel";
}

TEST_F(ProgramInstanceTest, TheDisplaysProgramEndingLetsTheNextStartRun) {
    {
        const auto first = setup.start();
        ASSERT_TRUE(first->waitForHeldHotkeys(6));
        ASSERT_EQ(::kill(first->pid(), SIGTERM), 0);
        ASSERT_TRUE(first->process().waitForExit(std::chrono::seconds(10)));
    }
    const auto next = setup.start();
    EXPECT_TRUE(next->waitForHeldHotkeys(6)) << next->remainingLog();
}

TEST(ProgramDisplayTest, WithoutAnX11DisplayOneLineAndStatusOne) {
    const std::string none = freeDisplay();
    const std::string cannotOpen = "Tidewright needs an X11 display: cannot open display '" + none + "'.";
    const struct {
        const char* name;
        std::vector<std::string> unset;
        std::map<std::string, std::string> environment;
        std::string line;
    } cases[] = {
        {"DISPLAY unset", {"DISPLAY", "QT_QPA_PLATFORM"}, {}, "Tidewright needs an X11 display: DISPLAY is not set."},
        {"DISPLAY empty", {"QT_QPA_PLATFORM"}, {{"DISPLAY", ""}}, "Tidewright needs an X11 display: DISPLAY is not set."},
        {"no server there, Qt's platform by default", {"QT_QPA_PLATFORM"}, {{"DISPLAY", none}}, cannotOpen},
        {"no server there, Qt's platform named", {}, {{"DISPLAY", none}, {"QT_QPA_PLATFORM", "xcb"}}, cannotOpen},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir home;
        ASSERT_TRUE(home.isValid());
        platform::testing::ChildProcess::Options options;
        options.environment = c.environment;
        for (const char* folder : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"}) {
            options.environment[folder] = home.path().toStdString();
        }
        options.environment["DBUS_SESSION_BUS_ADDRESS"] = "disabled:";
        options.passedDescriptor = 2;
        options.quiet = true;
        std::vector<std::string> command{"/usr/bin/env"};
        for (const std::string& name : c.unset) {
            command.insert(command.end(), {"-u", name});
        }
        command.push_back(TIDEWRIGHT_PROGRAM);
        platform::testing::ChildProcess program(command, options);
        const std::optional<int> status = program.waitForExit(std::chrono::seconds(20));
        ASSERT_TRUE(status);
        EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1) << "wait status " << *status;
        EXPECT_EQ(program.readLine(std::chrono::seconds(1)), c.line);
        EXPECT_FALSE(program.readLine(std::chrono::milliseconds(200))) << "one line only";
        EXPECT_TRUE(fs::is_empty(home.path().toStdString())) << "nothing written";
    }
}

TEST_F(ProgramInstanceTest, ShortcutsAnotherProgramHoldsAreNamedOnceEachTimeTheyChange) {
    platform::testing::ForeignKeyGrab foreign(world.display());
    ASSERT_TRUE(foreign.grab(ProgramUnderTest::keysyms[0], ProgramUnderTest::controlAlt));
    const auto program = setup.start();
    ASSERT_TRUE(program->waitForHeldHotkeys(5));
    ASSERT_TRUE(program->waitForLine(conflictWarning));

    // Off, every key is let go; another key taken meanwhile joins the conflicts when it comes back.
    switchOperation(false);
    ASSERT_TRUE(program->waitForHeldHotkeys(0));
    // The program logs each release as it sends it: the server may not have it yet.
    ASSERT_TRUE(world.waitUntil([&] { return foreign.grab(ProgramUnderTest::keysyms[2], ProgramUnderTest::controlAlt); }));
    switchOperation(true);
    ASSERT_TRUE(program->waitForHeldHotkeys(4));
    ASSERT_TRUE(program->waitForLine("Control+Alt+Left, Control+Alt+Up"));

    ASSERT_EQ(::kill(program->pid(), SIGTERM), 0);
    ASSERT_TRUE(program->process().waitForExit(std::chrono::seconds(10)));
    program->remainingLog();
    EXPECT_THAT(program->linesWith(conflictWarning),
                ElementsAre(HasSubstr("holds Control+Alt+Left:"), HasSubstr("holds Control+Alt+Left, Control+Alt+Up:")));
}

} // namespace
} // namespace tidewright
