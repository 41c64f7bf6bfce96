// Times 200 hot-key actions on a private Xvfb with openbox as the application runs them: each cycle
// is one perform of the window operation service, from the call to its observed outcome, over the
// live transport and screens on the main event loop, alternating left and right halves so that every
// cycle really moves the window. Then the same number of moves with xdotool. Prints the median and
// 95th percentile of both and their ratio, then where the time of one perform goes: per step (from
// one transport call to the next), the mean time, the replies taken from the X server, the ones
// blocked for (round trips), the waits for events (the window manager's answers) and the time
// blocked in those waits.

#include "HookedTransport.hpp"
#include "MoveTiming.hpp"

#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"
#include "platform/concurrency/MainExecutor.hpp"
#include "platform/screens/ScreenService.hpp"
#include "platform/screens/X11ScreenSource.hpp"
#include "platform/x11/ServerWaits.hpp"
#include "tidewright/windowcontrol/AccessibilityMainWindowTransport.hpp"
#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"
#include "tidewright/windowcontrol/MainWindowService.hpp"

#include <QCoreApplication>

#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace tidewright;
using namespace tidewright::bench;

struct Step {
    platform::x11::ServerWaits waits;
    double milliseconds = 0;
};

// Splits each perform into steps at its transport calls and sums the waits and time of each step
// over the cycles it is told to count.
class StepLedger {
public:
    void beginCycle(bool counted) {
        counted_ = counted;
        index_ = 0;
        mark("0 before the first call");
    }
    // A transport call is about to be made: the step before it ends.
    void call(const char* name) { mark(std::to_string(++index_) + " " + name); }
    void endCycle() { mark({}); }

    const std::map<std::string, Step>& steps() const { return steps_; }

private:
    void mark(std::string next) {
        const platform::x11::ServerWaits now = platform::x11::serverWaits();
        const auto time = Stopwatch::now();
        if (counted_ && !current_.empty()) {
            Step& step = steps_[current_];
            step.waits = step.waits + (now - since_);
            step.milliseconds += std::chrono::duration<double, std::milli>(time - sinceTime_).count();
        }
        current_ = std::move(next);
        since_ = now;
        sinceTime_ = time;
    }

    bool counted_ = false;
    int index_ = 0;
    std::string current_;
    platform::x11::ServerWaits since_;
    Stopwatch::time_point sinceTime_;
    std::map<std::string, Step> steps_;
};

struct Run {
    std::vector<double> times;
    std::optional<std::string> failure;
    StepLedger ledger;
};

platform::Async<> performRepeatedly(MainWindowService& service, Run& run) {
    for (int i = 0; i < cycles; ++i) {
        const FixedShortcut shortcut = i % 2 == 0 ? FixedShortcut::left : FixedShortcut::right;
        // The first cycle also opens the connections: its steps are left out.
        run.ledger.beginCycle(i > 0);
        const auto start = Stopwatch::now();
        const WindowOperationOutcome outcome =
            co_await service.perform(shortcut, []() -> platform::Async<bool> { co_return true; });
        run.ledger.endCycle();
        if (outcome.kind() != WindowOperationOutcome::Case::observed) {
            run.failure = std::string("a perform ended ") + caseName(outcome.kind());
            co_return;
        }
        run.times.push_back(millisecondsSince(start));
    }
}

void reportSteps(const StepLedger& ledger) {
    const double counted = cycles - 1;
    auto perPerform = [&](std::uint64_t count) {
        return static_cast<double>(count) / counted;
    };
    auto milliseconds = [](std::chrono::nanoseconds time) {
        return std::chrono::duration<double, std::milli>(time).count();
    };
    Step total;
    std::printf("  per perform, by step from one transport call to the next (cycles after the first):\n");
    std::printf("    %-22s %8s %8s %11s %11s %11s\n", "step", "ms", "replies", "round trips", "event waits",
                "blocked ms");
    auto print = [&](const std::string& name, const Step& step) {
        std::printf("    %-22s %8.3f %8.1f %11.1f %11.1f %11.3f\n", name.c_str(), step.milliseconds / counted,
                    perPerform(step.waits.replies), perPerform(step.waits.roundTrips),
                    perPerform(step.waits.eventWaits), milliseconds(step.waits.blocked) / counted);
    };
    for (const auto& [name, step] : ledger.steps()) {
        print(name, step);
        total.waits = total.waits + step.waits;
        total.milliseconds += step.milliseconds;
    }
    print("all", total);
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
            std::make_shared<HookedTransport>(
                std::make_shared<AccessibilityMainWindowTransport<LiveAccessibilityCalls>>(
                    LiveAccessibilityCalls(
                        std::make_shared<platform::X11AccessibilityBackend>(world.display())),
                    [] { return false; }),
                [&run](const char* call) { run.ledger.call(call); }),
            std::make_shared<platform::ScreenService>(std::make_shared<platform::X11ScreenSource>(world.display())),
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
    reportSteps(run.ledger);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "benchmark failed: %s\n", error.what());
    return 1;
}
