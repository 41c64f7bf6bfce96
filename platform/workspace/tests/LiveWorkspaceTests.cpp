// The live workspace on a private X display with openbox: test clients are the applications, and
// their desktop entries come from a fixture folder.

#include "platform/workspace/LiveWorkspace.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <fcntl.h>
#include <linux/sched.h>
#include <poll.h>
#include <signal.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/concurrency/MainExecutor.hpp"
#include "platform/concurrency/ThreadPool.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "platform/x11/XcbConnection.hpp"

namespace platform {
namespace {

using namespace std::chrono_literals;
using testing::TestClient;
using testing::X11TestWorld;

// WM_CLASS as the test client writes raw properties: the bytes as numbers.
std::string windowClassOption(const std::string& instance, const std::string& windowClass) {
    std::string bytes = instance + '\0' + windowClass + '\0';
    std::string option = "prop=WM_CLASS:STRING:8:";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        option += (i == 0 ? "" : ",") + std::to_string(static_cast<unsigned char>(bytes[i]));
    }
    return option;
}

// A test client started on a chosen process number (clone3 with set_tid), to reuse the pid of a
// client that just ended. Choosing a pid needs CAP_SYS_ADMIN; without it the client does not start.
class ClientOnPid {
public:
    ClientOnPid(pid_t pid, const std::string& display) {
        int input[2];
        int output[2];
        if (::pipe2(input, O_CLOEXEC) != 0 || ::pipe2(output, O_CLOEXEC) != 0) {
            return;
        }
        // Everything the child needs is ready before the clone: between it and exec only
        // async-signal-safe calls are allowed.
        const std::string displayVariable = "DISPLAY=" + display;
        const char* program = TIDEWRIGHT_TEST_CLIENT;
        char* const arguments[] = {const_cast<char*>(program), nullptr};
        char* const environment[] = {const_cast<char*>(displayVariable.c_str()), nullptr};
        clone_args args{};
        args.exit_signal = SIGCHLD;
        args.set_tid = reinterpret_cast<std::uintptr_t>(&pid);
        args.set_tid_size = 1;
        const long child = ::syscall(SYS_clone3, &args, sizeof args);
        if (child == 0) {
            ::dup2(input[0], 0);
            ::dup2(output[1], 1);
            ::execve(program, arguments, environment);
            ::_exit(127);
        }
        ::close(input[0]);
        ::close(output[1]);
        input_ = input[1];
        output_ = output[0];
        pid_ = child > 0 ? static_cast<pid_t>(child) : -1;
        error_ = child > 0 ? 0 : errno;
    }
    ~ClientOnPid() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(input_);
        ::close(output_);
    }

    pid_t pid() const { return pid_; }
    int error() const { return error_; }

    // Asks for a window; true once the client answered that it mapped one.
    bool open(const std::string& options) {
        const std::string line = "open " + options + "\n";
        if (::write(input_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
            return false;
        }
        std::string answer;
        pollfd descriptor{output_, POLLIN, 0};
        char c = 0;
        while (::poll(&descriptor, 1, 10000) > 0 && ::read(output_, &c, 1) == 1 && c != '\n') {
            answer.push_back(c);
        }
        return answer.rfind("opened ", 0) == 0;
    }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    int error_ = 0;
};

// The options of a window whose class matches the fixture's entry.
std::string live(const std::string& title) {
    return "title=" + title + " " + windowClassOption("live", "LiveClient");
}

class LiveWorkspaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(data.isValid());
        ASSERT_TRUE(QDir().mkpath(data.filePath(QStringLiteral("applications"))));
        QFile entry(data.filePath(QStringLiteral("applications/org.example.Live.desktop")));
        ASSERT_TRUE(entry.open(QIODevice::WriteOnly));
        // Windows opened with live() carry the window class of this entry.
        entry.write("[Desktop Entry]\nType=Application\nName=Live Client\nExec=tidewright-test-client\n"
                    "StartupWMClass=LiveClient\n");
        entry.close();
        index = std::make_unique<xdg::DesktopEntryIndex>(
            xdg::IndexSettings{{data.path()}, QStringLiteral("C"), {}}, executor, pool);
    }

    std::unique_ptr<LiveWorkspace> makeWorkspace(std::int32_t ownPid = 0) {
        auto workspace = std::make_unique<LiveWorkspace>(LiveWorkspace::Settings{world.display(), ownPid, {}},
                                                         *index, executor);
        for (WorkspaceMessage message :
             {WorkspaceMessage::didLaunchApplication, WorkspaceMessage::didActivateApplication,
              WorkspaceMessage::didDeactivateApplication, WorkspaceMessage::didTerminateApplication}) {
            observations.push_back(
                workspace->observe(message, [this, message](const RunningApplication& app) {
                    notices.push_back(WorkspaceNotice{message, app});
                }));
        }
        return workspace;
    }

    // Runs the event loop until done holds; the time limit only ends a failing test.
    bool until(const std::function<bool()>& done) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        }
        return done();
    }
    bool received(WorkspaceMessage message, pid_t pid) const {
        return std::any_of(notices.begin(), notices.end(), [&](const WorkspaceNotice& notice) {
            return notice.message == message && notice.application.processIdentifier == pid;
        });
    }
    std::vector<WorkspaceMessage> messagesOf(pid_t pid) const {
        std::vector<WorkspaceMessage> messages;
        for (const WorkspaceNotice& notice : notices) {
            if (notice.application.processIdentifier == pid) {
                messages.push_back(notice.message);
            }
        }
        return messages;
    }

    // Asks the window manager to activate a window, as a pager does.
    void activate(x11::WindowId window) {
        auto& connection = world.connection();
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = window;
        message.type = connection.atoms().netActiveWindow;
        message.data.data32[0] = 2;
        xcb_send_event(connection.raw(), 0, connection.root(),
                       XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(connection.raw());
    }

    X11TestWorld world;
    MainExecutor executor;
    ThreadPool pool{1, "workspace-test"};
    QTemporaryDir data;
    std::unique_ptr<xdg::DesktopEntryIndex> index;
    std::vector<WorkspaceObservation> observations;
    std::vector<WorkspaceNotice> notices;
};

TEST_F(LiveWorkspaceTest, ClientsRunningAtStartAreListedAndNeverLaunched) {
    auto early = world.startClient();
    const auto earlyWindow = early->open(live("early"));
    // The workspace reads the frontmost application when it starts: only once openbox has made
    // the window active is that this client.
    ASSERT_TRUE(world.waitUntil([&] { return world.activeWindow() == earlyWindow; }));
    auto workspace = makeWorkspace(early->pid());

    const auto running = workspace->runningApplications();
    ASSERT_EQ(running.size(), 1u);
    EXPECT_EQ(running[0].processIdentifier, early->pid());
    EXPECT_EQ(running[0].bundleIdentifier, std::optional<std::string>("org.example.Live"));
    EXPECT_EQ(running[0].localizedName, QStringLiteral("Live Client"));
    // The pid given as this application's own makes it an accessory application.
    EXPECT_EQ(running[0].activationPolicy, ActivationPolicy::accessory);
    ASSERT_TRUE(workspace->frontmostApplication().has_value());
    EXPECT_EQ(workspace->frontmostApplication()->processIdentifier, early->pid());

    // A second window of a known process, and a new process whose launch shows the loop is live.
    early->open(live("early-second"));
    auto late = world.startClient();
    late->open("title=late " + windowClassOption("solo", "Solo"));
    ASSERT_TRUE(until([&] { return received(WorkspaceMessage::didLaunchApplication, late->pid()); }));
    EXPECT_FALSE(received(WorkspaceMessage::didLaunchApplication, early->pid()));
    const auto lateApplication = workspace->runningApplications().back();
    EXPECT_EQ(lateApplication.bundleIdentifier, std::optional<std::string>("wmclass.Solo"));
    EXPECT_EQ(lateApplication.localizedName, QStringLiteral("Solo"));
    EXPECT_EQ(lateApplication.activationPolicy, ActivationPolicy::regular);
}

TEST_F(LiveWorkspaceTest, LaunchActivationAndTerminationArriveInOrder) {
    auto workspace = makeWorkspace();
    EXPECT_TRUE(workspace->runningApplications().empty());

    auto first = world.startClient();
    const auto firstWindow = first->open(live("first"));
    ASSERT_TRUE(until([&] { return received(WorkspaceMessage::didActivateApplication, first->pid()); }));
    auto second = world.startClient();
    second->open(live("second"));
    ASSERT_TRUE(until([&] { return received(WorkspaceMessage::didActivateApplication, second->pid()); }));
    // openbox gives a new window the focus: the first application was deactivated before.
    EXPECT_EQ(messagesOf(first->pid()),
              (std::vector{WorkspaceMessage::didLaunchApplication, WorkspaceMessage::didActivateApplication,
                           WorkspaceMessage::didDeactivateApplication}));
    EXPECT_EQ(messagesOf(second->pid()), (std::vector{WorkspaceMessage::didLaunchApplication,
                                                      WorkspaceMessage::didActivateApplication}));
    EXPECT_EQ(workspace->frontmostApplication()->processIdentifier, second->pid());

    // Switching back: the second is deactivated, then the first activated.
    notices.clear();
    activate(firstWindow);
    ASSERT_TRUE(until([&] { return received(WorkspaceMessage::didActivateApplication, first->pid()); }));
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].message, WorkspaceMessage::didDeactivateApplication);
    EXPECT_EQ(notices[0].application.processIdentifier, second->pid());
    EXPECT_EQ(workspace->frontmostApplication()->processIdentifier, first->pid());

    // Killing a client: its pidfd reports the exit.
    const pid_t secondPid = second->pid();
    second.reset();
    ASSERT_TRUE(until([&] { return received(WorkspaceMessage::didTerminateApplication, secondPid); }));
    const auto running = workspace->runningApplications();
    EXPECT_TRUE(std::none_of(running.begin(), running.end(), [&](const RunningApplication& app) {
        return app.processIdentifier == secondPid;
    }));
    EXPECT_EQ(messagesOf(secondPid).back(), WorkspaceMessage::didTerminateApplication);
}

TEST_F(LiveWorkspaceTest, APidReusedAtOnceGivesTheExitFirst) {
    auto workspace = makeWorkspace();
    auto client = world.startClient();
    client->open(live("old"));
    const pid_t pid = client->pid();
    ASSERT_TRUE(until([&] { return received(WorkspaceMessage::didLaunchApplication, pid); }));

    // The old client ends and is reaped; a new client takes its pid at once.
    client.reset();
    ClientOnPid reused(pid, world.display());
    if (reused.pid() != pid) {
        GTEST_SKIP() << "cannot start a process on a chosen pid here: " << std::strerror(reused.error());
    }
    ASSERT_TRUE(reused.open("title=new " + windowClassOption("reused", "Reused")));
    ASSERT_TRUE(until([&] {
        return std::count_if(notices.begin(), notices.end(), [&](const WorkspaceNotice& notice) {
                   return notice.message == WorkspaceMessage::didLaunchApplication &&
                          notice.application.processIdentifier == pid;
               }) == 2;
    }));
    std::vector<std::pair<WorkspaceMessage, std::optional<std::string>>> sequence;
    for (const WorkspaceNotice& notice : notices) {
        if (notice.application.processIdentifier == pid &&
            notice.message != WorkspaceMessage::didActivateApplication &&
            notice.message != WorkspaceMessage::didDeactivateApplication) {
            sequence.emplace_back(notice.message, notice.application.bundleIdentifier);
        }
    }
    EXPECT_EQ(sequence, (std::vector<std::pair<WorkspaceMessage, std::optional<std::string>>>{
                            {WorkspaceMessage::didLaunchApplication, "org.example.Live"},
                            {WorkspaceMessage::didTerminateApplication, "org.example.Live"},
                            {WorkspaceMessage::didLaunchApplication, "wmclass.Reused"},
                        }));
    const auto running = workspace->runningApplications();
    ASSERT_EQ(running.size(), 1u);
    EXPECT_EQ(running[0].bundleIdentifier, std::optional<std::string>("wmclass.Reused"));
}

TEST_F(LiveWorkspaceTest, AProcessWithoutWindowsLeftRunsUntilItExits) {
    auto workspace = makeWorkspace();
    auto client = world.startClient();
    const auto window = client->open(live("only"));
    ASSERT_TRUE(until([&] { return received(WorkspaceMessage::didLaunchApplication, client->pid()); }));
    client->destroy(window);
    // The window list has changed; the application is still running.
    auto probe = world.startClient();
    probe->open(live("probe"));
    ASSERT_TRUE(until([&] { return received(WorkspaceMessage::didLaunchApplication, probe->pid()); }));
    EXPECT_FALSE(received(WorkspaceMessage::didTerminateApplication, client->pid()));
    EXPECT_EQ(workspace->runningApplications().size(), 2u);
}

TEST_F(LiveWorkspaceTest, InstalledApplicationsComeFromTheIndex) {
    auto workspace = makeWorkspace();
    auto installed = workspace->installedApplication(tidewright::BundleID("org.example.Live"));
    ASSERT_TRUE(installed.has_value());
    EXPECT_EQ(installed->name, QStringLiteral("Live Client"));
    EXPECT_FALSE(workspace->installedApplication(tidewright::BundleID("org.example.Other")).has_value());
    ASSERT_EQ(workspace->choosableApplications().size(), 1u);
}

} // namespace
} // namespace platform
