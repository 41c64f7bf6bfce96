// Chaos soak of the window operation service on a private Xvfb with openbox: each round opens a
// window and runs one hot-key action on it while, before one of the service's transport calls
// chosen at random, the window is destroyed, minimized, moved or resized behind its back. Prints the
// count of each outcome and of false observed outcomes (an observed frame that the X server's own
// report of the window contradicts), and of runs that did not end in time. Exits non-zero when
// either count is above zero.
//   OperationSoak [rounds] [seed]

#include "MoveTiming.hpp"

#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/screens/X11ScreenSource.hpp"
#include "tidewright/windowcontrol/AccessibilityMainWindowTransport.hpp"
#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"
#include "tidewright/windowcontrol/MainWindowService.hpp"
#include "tidewright/windowcontrol/ScreenService.hpp"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>

namespace {

using namespace tidewright;
using namespace tidewright::bench;

// Forwards to the live transport, first running the chaos hook on the main thread.
class ChaosTransport final : public MainWindowTransporting {
public:
    ChaosTransport(std::shared_ptr<MainWindowTransporting> inner, std::function<void()> chaos)
        : inner_(std::move(inner)), chaos_(std::move(chaos)) {}

    platform::Async<DesktopFrame> mainWindowFrame(ProcessID process, ContinuousInstant deadline,
                                                  std::shared_ptr<WindowOperationPermit> permit) override {
        chaos_();
        return inner_->mainWindowFrame(std::move(process), deadline, std::move(permit));
    }
    platform::Async<SizeCapabilities>
    sizeCapabilities(ProcessID process, DesktopFrame frame, ContinuousInstant deadline,
                     std::shared_ptr<WindowOperationPermit> permit) override {
        chaos_();
        return inner_->sizeCapabilities(std::move(process), frame, deadline, std::move(permit));
    }
    platform::Async<> setFrame(ProcessID process, DesktopFrame expected, DesktopFrame target,
                               ContinuousInstant deadline,
                               std::shared_ptr<WindowOperationPermit> permit) override {
        chaos_();
        return inner_->setFrame(std::move(process), expected, target, deadline, std::move(permit));
    }
    platform::Async<> setOrigin(ProcessID process, DesktopFrame expected, DesktopPoint target,
                                ContinuousInstant deadline,
                                std::shared_ptr<WindowOperationPermit> permit) override {
        chaos_();
        return inner_->setOrigin(std::move(process), expected, target, deadline, std::move(permit));
    }

private:
    std::shared_ptr<MainWindowTransporting> inner_;
    std::function<void()> chaos_;
};

} // namespace

int main(int argc, char** argv) try {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 50;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 1;
    std::mt19937 random(seed);

    platform::testing::X11TestWorld world;
    auto client = world.startClient();
    platform::ManualExecutor executor;
    const ProcessID process{BundleID("org.example.Soak"), client->pid(), 1};
    const WindowOperationFacts facts{process, 1, true};

    std::optional<platform::x11::WindowId> window;
    bool destroyed = false;
    int chaosLeft = 0; // transport calls until the chaos strikes; -1 once it has
    int chaosAt = -1;  // the call of this round before which it struck
    int callsMade = 0;
    const char* chaosDone = "none";
    const char* chaosNames[] = {"destroy", "minimize", "move", "resize"};
    std::map<std::string, int> chaosCounts;
    const auto chaos = [&] {
        ++callsMade;
        if (chaosLeft < 0 || chaosLeft-- > 0 || !window) {
            return;
        }
        const int kind = static_cast<int>(random() % 4);
        chaosAt = callsMade;
        chaosDone = chaosNames[kind];
        chaosCounts[chaosNames[kind]]++;
        const std::string id = std::to_string(*window);
        // A move or resize is asked of the window manager; it is done once the server reports it, so
        // that the service's next read and the check after the run see the same window.
        const platform::x11::PixelRect before = world.clientGeometry(*window);
        const auto applied = [&] {
            world.waitUntil([&] { return world.clientGeometry(*window) != before; },
                            std::chrono::milliseconds(500));
        };
        switch (kind) {
        case 0:
            client->destroy(*window);
            destroyed = true;
            break;
        case 1:
            client->minimize(*window);
            break;
        case 2:
            runTool(world.display(), {"xdotool", "windowmove", id, "37", "41"});
            applied();
            break;
        case 3:
            runTool(world.display(), {"xdotool", "windowsize", id, "333", "222"});
            applied();
            break;
        }
    };
    auto service = MainWindowService::make(
        std::make_shared<ChaosTransport>(
            std::make_shared<AccessibilityMainWindowTransport<LiveAccessibilityCalls>>(
                LiveAccessibilityCalls(std::make_shared<platform::X11AccessibilityBackend>(world.display())),
                [] { return false; }),
            chaos),
        std::make_shared<ScreenService>(std::make_shared<platform::X11ScreenSource>(world.display())),
        [facts] { return facts; }, [] { return platform::ContinuousClock::now(); });

    std::map<std::string, int> outcomes;
    int falseObserved = 0;
    int late = 0;
    for (int round = 0; round < rounds; ++round) {
        window = client->open("title=soak x=300 y=200 w=500 h=400");
        world.waitUntil([&] { return world.activeWindow() == *window; });
        world.watch(*window);
        destroyed = false;
        chaosAt = -1;
        callsMade = 0;
        chaosDone = "none";
        chaosLeft = static_cast<int>(random() % 6); // beyond the calls of a run: no chaos at all
        const FixedShortcut shortcut = allFixedShortcuts[random() % allFixedShortcuts.size()];

        std::optional<WindowOperationOutcome> outcome;
        platform::spawn(executor, [&]() -> platform::Async<> {
            outcome = co_await service->perform(shortcut, []() -> platform::Async<bool> { co_return true; });
        });
        // Every run must end within its 2 s deadline plus one messaging timeout.
        if (!executor.runUntil([&] { return outcome.has_value(); }, std::chrono::seconds(4))) {
            ++late;
            executor.runUntil([&] { return outcome.has_value(); }, std::chrono::seconds(30));
        }
        if (outcome) {
            outcomes[caseName(outcome->kind())]++;
            if (auto observed = outcome->frame()) {
                const platform::x11::PixelRect inside = world.clientGeometry(*window);
                const platform::x11::Extents frame = world.frameExtents(*window);
                const DesktopFrame actual = frameOf(inside.x - frame.left, inside.y - frame.top,
                                                    inside.width + frame.left + frame.right,
                                                    inside.height + frame.top + frame.bottom);
                if (destroyed || actual != *observed) {
                    ++falseObserved;
                    std::printf("  false observed in round %d: %s before call %d of %d\n", round, chaosDone,
                                chaosAt, callsMade);
                }
            }
        }
        if (!destroyed) {
            client->destroy(*window);
        }
        window.reset();
    }

    std::printf("%d rounds (seed %u)\n  outcomes:", rounds, seed);
    for (const auto& [name, count] : outcomes) {
        std::printf(" %s %d", name.c_str(), count);
    }
    std::printf("\n  chaos:");
    for (const auto& [name, count] : chaosCounts) {
        std::printf(" %s %d", name.c_str(), count);
    }
    std::printf("\n  false observed %d, late %d\n", falseObserved, late);
    return falseObserved == 0 && late == 0 ? 0 : 1;
} catch (const std::exception& error) {
    std::fprintf(stderr, "soak failed: %s\n", error.what());
    return 1;
}
