// Times 200 window moves on a private Xvfb with openbox as a hot-key press makes them: each cycle
// reads the main window's frame, writes a new frame and reads it back through the main-window
// transport, so every step hops from the main event loop to the transport's serial queue and back.
// Then the same 200 moves with xdotool. Prints the median and 95th percentile of both.

#include "MoveTiming.hpp"

#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"
#include "platform/concurrency/MainExecutor.hpp"
#include "tidewright/windowcontrol/AccessibilityMainWindowTransport.hpp"
#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"

#include <QCoreApplication>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tidewright;
using namespace tidewright::bench;

// The cycle times in milliseconds, or the reason the cycles stopped.
struct Run {
    std::vector<double> times;
    std::optional<std::string> failure;
};

platform::Async<> moveRepeatedly(AccessibilityMainWindowTransport<LiveAccessibilityCalls>& transport,
                                 ProcessID process, Run& run) {
    auto permit = std::make_shared<WindowOperationPermit>();
    for (int i = 0; i < cycles; ++i) {
        const DesktopFrame& target = targets[i % 2];
        const auto start = Stopwatch::now();
        const ContinuousInstant deadline = platform::ContinuousClock::now() + std::chrono::seconds(2);
        try {
            const DesktopFrame before = co_await transport.mainWindowFrame(process, deadline, permit);
            co_await transport.setFrame(process, before, target, deadline, permit);
            if (co_await transport.mainWindowFrame(process, deadline, permit) != target) {
                run.failure = "read-back differs";
                co_return;
            }
        } catch (const WindowOperationFailure& failure) {
            run.failure =
                "a window operation failed (case " + std::to_string(static_cast<int>(failure.kind())) + ")";
            co_return;
        }
        run.times.push_back(millisecondsSince(start));
    }
}

} // namespace

int main(int argc, char** argv) try {
    platform::testing::X11TestWorld world;
    auto client = world.startClient();
    const platform::x11::WindowId window = openWindow(world, *client);

    Run run;
    {
        QCoreApplication application(argc, argv);
        platform::MainExecutor executor;
        AccessibilityMainWindowTransport<LiveAccessibilityCalls> transport(
            LiveAccessibilityCalls(std::make_shared<platform::X11AccessibilityBackend>(world.display())),
            [] { return false; });
        const ProcessID process{BundleID("org.example.Benchmark"), client->pid(), 1};
        platform::spawn(executor, [&]() -> platform::Async<> {
            co_await moveRepeatedly(transport, process, run);
            QCoreApplication::quit();
        });
        QCoreApplication::exec();
    }
    if (run.failure) {
        throw std::runtime_error(*run.failure);
    }
    reportAgainstXdotool(world.display(), window,
                         "main-window transport through its serial queue (frame read, setFrame, read-back)",
                         "transport", figuresOf(run.times));
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "benchmark failed: %s\n", error.what());
    return 1;
}
