#pragma once
// What the window-move benchmarks share: the moves they time, their figures, and the same moves
// done with xdotool for comparison.

#include "platform/testing/ChildProcess.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/core/Geometry.hpp"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tidewright::bench {

using Stopwatch = std::chrono::steady_clock;

constexpr int cycles = 200;

inline DesktopFrame frameOf(double x, double y, double width, double height) {
    return DesktopFrame(DesktopPoint{Points(x), Points(y)}, WindowSize(Points(width), Points(height)));
}

// Cycle i moves the window to targets[i % 2], so every cycle really moves it.
inline const DesktopFrame targets[] = {frameOf(0, 0, 960, 1080), frameOf(480, 270, 800, 500)};

struct Figures {
    double median;
    double p95;
};

inline double millisecondsSince(Stopwatch::time_point start) {
    return std::chrono::duration<double, std::milli>(Stopwatch::now() - start).count();
}

// Opens the window that the benchmark moves and waits until it is active.
inline platform::x11::WindowId openWindow(platform::testing::X11TestWorld& world,
                                          platform::testing::TestClient& client) {
    const platform::x11::WindowId window = client.open("title=benchmark x=100 y=100 w=640 h=480");
    if (!world.waitUntil([&] { return world.activeWindow() == window; })) {
        throw std::runtime_error("the window did not become active");
    }
    return window;
}

// Nearest-rank percentiles of times in milliseconds. REQUIRES: times is not empty.
inline Figures figuresOf(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    auto rank = [&](double p) {
        return times[static_cast<std::size_t>(p * static_cast<double>(times.size() - 1) + 0.5)];
    };
    return {rank(0.5), rank(0.95)};
}

// Times cycles calls of cycle(i).
inline Figures measure(const std::function<void(int)>& cycle) {
    std::vector<double> times;
    times.reserve(cycles);
    for (int i = 0; i < cycles; ++i) {
        const auto start = Stopwatch::now();
        cycle(i);
        times.push_back(millisecondsSince(start));
    }
    return figuresOf(std::move(times));
}

inline void runTool(const std::string& display, const std::vector<std::string>& arguments) {
    platform::testing::ChildProcess::Options options;
    options.environment = {{"DISPLAY", display}};
    options.quiet = true;
    platform::testing::ChildProcess tool(arguments, options);
    auto status = tool.waitForExit(std::chrono::seconds(5));
    if (!status || *status != 0) {
        throw std::runtime_error(arguments[1] + " failed");
    }
}

// The same moves with xdotool: windowsize, windowmove, getwindowgeometry.
inline Figures measureXdotool(const std::string& display, platform::x11::WindowId window) {
    const std::string id = std::to_string(window);
    return measure([&](int i) {
        const DesktopFrame& target = targets[i % 2];
        auto number = [](double value) {
            return std::to_string(static_cast<int>(value));
        };
        runTool(display, {"xdotool", "windowsize", id, number(target.size().width().value()),
                          number(target.size().height().value())});
        runTool(display, {"xdotool", "windowmove", id, number(target.minX()), number(target.minY())});
        runTool(display, {"xdotool", "getwindowgeometry", id});
    });
}

// Times the same moves with xdotool, then prints the figures of both and their ratio; ours are
// those of what, called name in the ratio.
inline void reportAgainstXdotool(const std::string& display, platform::x11::WindowId window, const char* what,
                                 const char* name, const Figures& ours) {
    const Figures tool = measureXdotool(display, window);
    std::printf("%d moves of a real window (Xvfb, openbox), milliseconds per cycle\n", cycles);
    std::printf("  %s:\n    median %.3f  p95 %.3f\n", what, ours.median, ours.p95);
    std::printf("  xdotool (windowsize, windowmove, getwindowgeometry):\n    median %.3f  p95 %.3f\n",
                tool.median, tool.p95);
    std::printf("  ratio xdotool / %s: median %.2f  p95 %.2f\n", name, tool.median / ours.median,
                tool.p95 / ours.p95);
}

} // namespace tidewright::bench
