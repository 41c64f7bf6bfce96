// Times 200 hot-key actions on a private Xvfb with openbox as the application runs them: each cycle
// is one perform of the window operation service, from the call to its observed outcome, over the
// live transport and screens on the main event loop, alternating left and right halves so that every
// cycle really moves the window. Then the same number of moves with xdotool. Prints the median and
// 95th percentile of both and their ratio.

#include "MoveTiming.hpp"

#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"
#include "platform/concurrency/MainExecutor.hpp"
#include "platform/screens/X11ScreenSource.hpp"
#include "tidewright/windowcontrol/AccessibilityMainWindowTransport.hpp"
#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"
#include "tidewright/windowcontrol/MainWindowService.hpp"
#include "tidewright/windowcontrol/ScreenService.hpp"

#include <QCoreApplication>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tidewright;
using namespace tidewright::bench;

struct Run {
    std::vector<double> times;
    std::optional<std::string> failure;
};

platform::Async<> performRepeatedly(MainWindowService& service, Run& run) {
    for (int i = 0; i < cycles; ++i) {
        const FixedShortcut shortcut = i % 2 == 0 ? FixedShortcut::left : FixedShortcut::right;
        const auto start = Stopwatch::now();
        const WindowOperationOutcome outcome =
            co_await service.perform(shortcut, []() -> platform::Async<bool> { co_return true; });
        if (outcome.kind() != WindowOperationOutcome::Case::observed) {
            run.failure = std::string("a perform ended ") + caseName(outcome.kind());
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
        const WindowOperationFacts facts{ProcessID{BundleID("org.example.Benchmark"), client->pid(), 1}, 1,
                                         true};
        auto service = MainWindowService::make(
            std::make_shared<AccessibilityMainWindowTransport<LiveAccessibilityCalls>>(
                LiveAccessibilityCalls(std::make_shared<platform::X11AccessibilityBackend>(world.display())),
                [] { return false; }),
            std::make_shared<ScreenService>(std::make_shared<platform::X11ScreenSource>(world.display())),
            [facts] { return facts; }, [] { return platform::ContinuousClock::now(); });
        platform::spawn(executor, [&]() -> platform::Async<> {
            co_await performRepeatedly(*service, run);
            QCoreApplication::quit();
        });
        QCoreApplication::exec();
    }
    if (run.failure) {
        throw std::runtime_error(*run.failure);
    }
    reportAgainstXdotool(world.display(), window,
                         "perform of a hot-key action, call to observed outcome (read, write, read-back)",
                         "perform", figuresOf(run.times));
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "benchmark failed: %s\n", error.what());
    return 1;
}
