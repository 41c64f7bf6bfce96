// The main-window transport as the application builds it, on its own serial queue, against windows
// of our test client on a real display and window manager.

#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/windowcontrol/AccessibilityMainWindowTransport.hpp"
#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"

#include "WindowControlTestSupport.hpp"

#include <dirent.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidewright {
namespace {

using platform::Async;
using std::chrono::seconds;
using ::testing::ElementsAre;

// How many threads of this process carry the name.
int threadsNamed(const std::string& name) {
    int count = 0;
    DIR* tasks = ::opendir("/proc/self/task");
    if (tasks == nullptr) {
        return -1;
    }
    while (const dirent* entry = ::readdir(tasks)) {
        std::ifstream comm(std::string("/proc/self/task/") + entry->d_name + "/comm");
        std::string line;
        if (std::getline(comm, line) && line == name) {
            ++count;
        }
    }
    ::closedir(tasks);
    return count;
}

class LiveMainWindowTransportTest : public ::testing::Test {
protected:
    using Transport = AccessibilityMainWindowTransport<LiveAccessibilityCalls>;

    ProcessID open(const std::string& options) {
        clients.push_back(world.startClient());
        const platform::x11::WindowId window = clients.back()->open(options);
        EXPECT_TRUE(world.waitUntil([&] { return world.activeWindow() == window; }));
        return processOf(*clients.back());
    }
    static ProcessID processOf(const platform::testing::TestClient& client) {
        return ProcessID{BundleID("org.example.TestClient"), client.pid(), 1};
    }
    static ContinuousInstant soon() { return platform::ContinuousClock::now() + seconds(2); }

    // Lets the executor run the tasks until body's log has count lines, waiting for the queue.
    void runUntilLogged(std::size_t count) {
        ASSERT_TRUE(executor.runUntil([&] { return log.size() >= count; }, std::chrono::seconds(10)));
    }

    platform::testing::X11TestWorld world;
    std::shared_ptr<platform::X11AccessibilityBackend> backend =
        std::make_shared<platform::X11AccessibilityBackend>(world.display());
    std::vector<std::unique_ptr<platform::testing::TestClient>> clients;
    platform::ManualExecutor executor;
    std::shared_ptr<WindowOperationPermit> permit = std::make_shared<WindowOperationPermit>();
    std::vector<std::string> log;
};

TEST_F(LiveMainWindowTransportTest, RunsOperationsAwaitedTogetherOneAfterTheOtherOnItsOwnThread) {
    const int before = threadsNamed("accessibility");
    Transport transport(LiveAccessibilityCalls(backend), [] { return false; });
    EXPECT_EQ(threadsNamed("accessibility"), before + 1);

    const ProcessID process = open("title=moved x=100 y=100 w=400 h=300");
    std::optional<DesktopFrame> initial;
    platform::spawn(executor, [&]() -> Async<> {
        initial = co_await transport.mainWindowFrame(process, soon(), permit);
        log.push_back("read");
    });
    runUntilLogged(1);
    ASSERT_TRUE(initial.has_value());

    // Each write expects the frame the one before leaves, so they only succeed in this order, one at
    // a time; each read sees the write queued before it.
    const DesktopFrame target = frameOf(0, 0, 960, 1080);
    const DesktopPoint shifted{Points(480), Points(0)};
    const auto step = [&](std::string name, auto operation) {
        platform::spawn(executor, [&, name, operation]() -> Async<> {
            try {
                co_await operation();
                log.push_back(name);
            } catch (const WindowOperationFailure& failure) {
                log.push_back(name + " failed " + caseName(failure.kind()));
            }
        });
    };
    const auto reading = [&](std::string name, DesktopFrame expected) {
        platform::spawn(executor, [&, name, expected]() -> Async<> {
            const DesktopFrame frame = co_await transport.mainWindowFrame(process, soon(), permit);
            log.push_back(name + (frame == expected ? "" : " differs"));
        });
    };
    step("setFrame", [&] { return transport.setFrame(process, *initial, target, soon(), permit); });
    reading("read-back", target);
    step("setOrigin", [&] { return transport.setOrigin(process, target, shifted, soon(), permit); });
    reading("read-back", DesktopFrame(shifted, target.size()));
    runUntilLogged(5);
    EXPECT_THAT(log, ElementsAre("read", "setFrame", "read-back", "setOrigin", "read-back"));
}

TEST_F(LiveMainWindowTransportTest, CountsTheWindowsOfAProcessAndAnswersUnknownOnceCancelled) {
    Transport transport(LiveAccessibilityCalls(backend), [] { return false; });
    const ProcessID single = open("title=single");
    const ProcessID pair = open("title=first");
    clients.back()->open("title=second");
    clients.push_back(world.startClient());
    const ProcessID none = processOf(*clients.back());

    const auto presence = [&](ProcessID process) {
        return platform::spawn(executor, [&, process]() -> Async<> {
            const OpeningWindowPresence answer = co_await transport.windowPresence(process, soon(), permit);
            const char* names[] = {"none", "one", "several", "unknown"};
            log.push_back(names[static_cast<int>(answer)]);
        });
    };
    presence(single);
    presence(pair);
    presence(none);
    runUntilLogged(3);
    EXPECT_THAT(log, ElementsAre("one", "several", "none"));

    presence(pair).cancel();
    runUntilLogged(4);
    EXPECT_EQ(log.back(), "unknown");
    EXPECT_FALSE(permit->isActive());
}

} // namespace
} // namespace tidewright
