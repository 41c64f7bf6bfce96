// Chaos soak of the window operation service on a private Xvfb with openbox: each round opens a
// window and runs one hot-key action on it while, before one of the service's transport calls
// chosen at random, the window is destroyed, withdrawn, minimized, moved or resized behind its
// back, or openbox is killed, either started again at once or only before the next call. Prints the count of
// each outcome, per kind of chaos and in all, the count of false observed outcomes (an observed frame that
// the X server's own report of the window contradicts) and of runs that did not end within their deadline
// plus one messaging timeout. Exits non-zero when either count is above zero.
//   OperationSoak [rounds] [seed]

#include "HookedTransport.hpp"
#include "MoveTiming.hpp"

#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/screens/ScreenService.hpp"
#include "platform/screens/X11ScreenSource.hpp"
#include "tidewright/windowcontrol/AccessibilityMainWindowTransport.hpp"
#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"
#include "tidewright/windowcontrol/MainWindowService.hpp"

#include <algorithm>
#include <chrono>
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

} // namespace

int main(int argc, char** argv) try {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 50;
    const unsigned seed = argc > 2 ? static_cast<unsigned>(std::atoi(argv[2])) : 1;
    std::mt19937 random(seed);
    // A run may take its own time and one platform call that started just before its end.
    const auto allowed = MainWindowService::runTime + std::chrono::duration_cast<std::chrono::milliseconds>(
                                                          std::chrono::duration<double>(2.0));

    platform::testing::X11TestWorld world;
    auto client = world.startClient();
    platform::ManualExecutor executor;
    const ProcessID process{BundleID("org.example.Soak"), client->pid(), 1};
    const WindowOperationFacts facts{process, 1, true};

    enum Chaos { none, destroy, unmap, minimize, move, resize, killWindowManager, restartWindowManager };
    const char* chaosNames[] = {"none", "destroy", "unmap",   "minimize",
                                "move", "resize",  "kill-wm", "restart-wm"};
    std::optional<platform::x11::WindowId> window;
    Chaos chaosDone = none;
    bool windowManagerDown = false;
    int chaosLeft = 0; // transport calls until the chaos strikes; -1 once it has
    int chaosAt = -1;  // the call of this round before which it struck
    int callsMade = 0;
    const auto chaos = [&](const char*) {
        ++callsMade;
        // Openbox stays away for exactly one call.
        if (windowManagerDown) {
            world.startWindowManager();
            windowManagerDown = false;
        }
        if (chaosLeft < 0 || chaosLeft-- > 0 || !window) {
            return;
        }
        chaosDone = static_cast<Chaos>(1 + random() % 7);
        chaosAt = callsMade;
        const std::string id = std::to_string(*window);
        // A move or resize is asked of the window manager; it is done once the server reports it, so
        // that the service's next read and the check after the run see the same window.
        const platform::x11::PixelRect before = world.clientGeometry(*window);
        const auto applied = [&] {
            world.waitUntil([&] { return world.clientGeometry(*window) != before; },
                            std::chrono::milliseconds(500));
        };
        switch (chaosDone) {
        case none:
            break;
        case destroy:
            client->destroy(*window);
            break;
        case unmap:
            client->unmap(*window);
            break;
        case minimize:
            client->minimize(*window);
            break;
        case move:
            runTool(world.display(), {"xdotool", "windowmove", id, "37", "41"});
            applied();
            break;
        case resize:
            runTool(world.display(), {"xdotool", "windowsize", id, "333", "222"});
            applied();
            break;
        case killWindowManager:
            world.killWindowManager();
            windowManagerDown = true;
            break;
        case restartWindowManager:
            world.killWindowManager();
            world.startWindowManager();
            break;
        }
    };
    auto service = MainWindowService::make(
        std::make_shared<HookedTransport>(
            std::make_shared<AccessibilityMainWindowTransport<LiveAccessibilityCalls>>(
                LiveAccessibilityCalls(std::make_shared<platform::X11AccessibilityBackend>(world.display())),
                [] { return false; }),
            chaos),
        std::make_shared<platform::ScreenService>(std::make_shared<platform::X11ScreenSource>(world.display())),
        [facts] { return facts; }, [] { return platform::ContinuousClock::now(); });

    // Outcome counts per kind of chaos, and in all.
    std::map<std::string, std::map<std::string, int>> outcomes;
    int falseObserved = 0;
    int late = 0;
    double longest = 0;
    for (int round = 0; round < rounds; ++round) {
        window = client->open("title=soak x=300 y=200 w=500 h=400");
        world.waitUntil([&] { return world.activeWindow() == *window; });
        world.watch(*window);
        chaosAt = -1;
        callsMade = 0;
        chaosDone = none;
        chaosLeft = static_cast<int>(random() % 6); // beyond the calls of a run: no chaos at all
        const FixedShortcut shortcut = allFixedShortcuts[random() % allFixedShortcuts.size()];

        std::optional<WindowOperationOutcome> outcome;
        const auto start = Stopwatch::now();
        std::optional<double> took;
        platform::spawn(executor, [&]() -> platform::Async<> {
            outcome = co_await service->perform(shortcut, []() -> platform::Async<bool> { co_return true; });
            took = millisecondsSince(start);
        });
        // A run that hangs is left a while to show whether it ends at all.
        executor.runUntil([&] { return outcome.has_value(); }, std::chrono::seconds(30));
        if (!took || *took > std::chrono::duration<double, std::milli>(allowed).count()) {
            ++late;
            std::printf("  late in round %d: %s before call %d of %d\n", round, chaosNames[chaosDone],
                        chaosAt, callsMade);
        }
        longest = std::max(longest, took.value_or(0));
        if (windowManagerDown) {
            world.startWindowManager();
            windowManagerDown = false;
        }
        if (outcome) {
            outcomes[chaosNames[chaosDone]][caseName(outcome->kind())]++;
            outcomes["all"][caseName(outcome->kind())]++;
            if (auto observed = outcome->frame()) {
                // A window that is gone or withdrawn has no frame on the desktop to be observed at.
                bool contradicted = chaosDone == destroy || chaosDone == unmap;
                if (!contradicted) {
                    const platform::x11::PixelRect inside = world.clientGeometry(*window);
                    const platform::x11::Extents frame = world.frameExtents(*window);
                    contradicted = frameOf(inside.x - frame.left, inside.y - frame.top,
                                           inside.width + frame.left + frame.right,
                                           inside.height + frame.top + frame.bottom) != *observed;
                }
                if (contradicted) {
                    ++falseObserved;
                    std::printf("  false observed in round %d: %s before call %d of %d\n", round,
                                chaosNames[chaosDone], chaosAt, callsMade);
                }
            }
        }
        if (chaosDone != destroy) {
            client->destroy(*window);
        }
        window.reset();
    }

    std::printf("%d rounds (seed %u); outcomes per chaos before a transport call:\n", rounds, seed);
    for (const auto& [chaosName, counts] : outcomes) {
        int total = 0;
        for (const auto& [name, count] : counts) {
            total += count;
        }
        std::printf("  %-10s %4d:", chaosName.c_str(), total);
        for (const auto& [name, count] : counts) {
            std::printf(" %s %d", name.c_str(), count);
        }
        std::printf("\n");
    }
    std::printf(
        "  false observed %d, late %d (longest run %.0f ms, allowed %lld ms)\n", falseObserved, late, longest,
        static_cast<long long>(std::chrono::duration_cast<std::chrono::milliseconds>(allowed).count()));
    return falseObserved == 0 && late == 0 ? 0 : 1;
} catch (const std::exception& error) {
    std::fprintf(stderr, "soak failed: %s\n", error.what());
    return 1;
}
