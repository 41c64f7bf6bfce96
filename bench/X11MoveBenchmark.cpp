// Times 200 window moves on a private Xvfb with openbox: each cycle reads the main window's frame,
// writes a new frame (size, position, size) and reads it back, through the window events over the
// X11 backend; then the same 200 moves with xdotool (windowsize, windowmove, getwindowgeometry).
// Prints the median and 95th percentile of both and their ratios.

#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"
#include "platform/testing/BootTime.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/windowcontrol/AccessibilityWindowEvents.hpp"
#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace tidewright;
using Clock = std::chrono::steady_clock;

constexpr int cycles = 200;

ContinuousInstant continuousNow() {
    return ContinuousInstant(platform::testing::bootTime());
}

DesktopFrame frameOf(double x, double y, double width, double height) {
    return DesktopFrame(DesktopPoint{Points(x), Points(y)}, WindowSize(Points(width), Points(height)));
}

struct Figures {
    double median;
    double p95;
};

// Milliseconds per cycle, nearest-rank percentiles.
Figures measure(const std::function<void(int)>& cycle) {
    std::vector<double> times;
    times.reserve(cycles);
    for (int i = 0; i < cycles; ++i) {
        const auto start = Clock::now();
        cycle(i);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::sort(times.begin(), times.end());
    auto rank = [&](double p) {
        return times[static_cast<std::size_t>(p * (cycles - 1) + 0.5)];
    };
    return {rank(0.5), rank(0.95)};
}

void runTool(const std::string& display, const std::vector<std::string>& arguments) {
    platform::testing::ChildProcess::Options options;
    options.environment = {{"DISPLAY", display}};
    options.quiet = true;
    platform::testing::ChildProcess tool(arguments, options);
    auto status = tool.waitForExit(std::chrono::seconds(5));
    if (!status || *status != 0)
        throw std::runtime_error(arguments[1] + " failed");
}

} // namespace

int main() try {
    platform::testing::X11TestWorld world;
    auto client = world.startClient();
    const platform::x11::WindowId window = client->open("title=benchmark x=100 y=100 w=640 h=480");
    if (!world.waitUntil([&] { return world.activeWindow() == window; })) {
        throw std::runtime_error("the window did not become active");
    }
    auto backend = std::make_shared<platform::X11AccessibilityBackend>(world.display());
    auto permit = std::make_shared<WindowOperationPermit>();
    auto events = [&] {
        return AccessibilityWindowEvents<LiveAccessibilityCalls>(LiveAccessibilityCalls(backend),
                                                                 continuousNow() + std::chrono::seconds(2),
                                                                 permit, true, continuousNow);
    };
    const DesktopFrame targets[] = {frameOf(0, 0, 960, 1080), frameOf(480, 270, 800, 500)};
    const pid_t pid = client->pid();

    const Figures ours = measure([&](int i) {
        const DesktopFrame target = targets[i % 2];
        const DesktopFrame before = events().mainWindowFrame(pid);
        events().setFrame(pid, before, target);
        if (events().mainWindowFrame(pid) != target)
            throw std::runtime_error("read-back differs");
    });

    const std::string id = std::to_string(window);
    const Figures tool = measure([&](int i) {
        const DesktopFrame& target = targets[i % 2];
        auto number = [](double value) {
            return std::to_string(static_cast<int>(value));
        };
        runTool(world.display(), {"xdotool", "windowsize", id, number(target.size().width().value()),
                                  number(target.size().height().value())});
        runTool(world.display(), {"xdotool", "windowmove", id, number(target.minX()), number(target.minY())});
        runTool(world.display(), {"xdotool", "getwindowgeometry", id});
    });

    std::printf("%d moves of a real window (Xvfb, openbox), milliseconds per cycle\n", cycles);
    std::printf("  window events over the X11 backend (frame read, setFrame, read-back):\n");
    std::printf("    median %.3f  p95 %.3f\n", ours.median, ours.p95);
    std::printf("  xdotool (windowsize, windowmove, getwindowgeometry):\n");
    std::printf("    median %.3f  p95 %.3f\n", tool.median, tool.p95);
    std::printf("  ratio xdotool / backend: median %.2f  p95 %.2f\n", tool.median / ours.median,
                tool.p95 / ours.p95);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "benchmark failed: %s\n", error.what());
    return 1;
} catch (const WindowOperationFailure&) {
    std::fprintf(stderr, "benchmark failed: a window operation failed\n");
    return 1;
}
