// The cost of planning one window action on a two-screen desk, one figure per action.

#include "tidewright/core/WindowPlacement.hpp"

#include <array>
#include <benchmark/benchmark.h>

namespace {

using namespace tidewright;

DesktopFrame frame(double x, double y, double width, double height) {
    return DesktopFrame({Points(x), Points(y)}, WindowSize(Points(width), Points(height)));
}

void planOneAction(benchmark::State& state, WindowAction action) {
    const std::array screens{
        ScreenGeometry(ScreenID{1}, frame(0, 0, 1440, 900), frame(0, 25, 1440, 875)),
        ScreenGeometry(ScreenID{2}, frame(1440, -100, 1920, 1080), frame(1440, -100, 1920, 1040)),
    };
    // Mostly on the second screen, so selection looks at both.
    const DesktopFrame window = frame(1300.5, 120.25, 800, 600);
    const auto capabilities =
        SizeCapabilities::resizable(SizeLimits(WindowSize(Points(200), Points(150)), std::nullopt));
    for (auto _ : state) {
        benchmark::DoNotOptimize(WindowPlacement::plan(action, window, screens, capabilities,
                                                       PlacementOriginAlignment::wholePoints));
    }
}

BENCHMARK_CAPTURE(planOneAction, leftHalf, WindowAction::leftHalf);
BENCHMARK_CAPTURE(planOneAction, rightHalf, WindowAction::rightHalf);
BENCHMARK_CAPTURE(planOneAction, maximize, WindowAction::maximize);
BENCHMARK_CAPTURE(planOneAction, nearlyMaximize, WindowAction::nearlyMaximize);
BENCHMARK_CAPTURE(planOneAction, maximumHeight, WindowAction::maximumHeight);
BENCHMARK_CAPTURE(planOneAction, center, WindowAction::center);

} // namespace

BENCHMARK_MAIN();
