// Times 100 window openings on a private Xvfb with openbox, from the test client's open request
// to the window-created signal's true for that client, through the live X11 observer. The time
// includes the test client's own wait until openbox manages the window, so it is an upper bound.
// Prints the median and 95th percentile.

#include "platform/testing/X11TestWorld.hpp"

#include "MoveTiming.hpp"

#include "platform/accessibility/x11/X11AccessibilityObservers.hpp"
#include "platform/concurrency/ManualClock.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/concurrency/ManualSerialQueue.hpp"
#include "tidewright/windowcontrol/AccessibilityWindowSignal.hpp"

#include <cstdio>

int main() try {
    using namespace tidewright;
    using namespace tidewright::bench;
    platform::testing::X11TestWorld world;
    auto client = world.startClient();
    platform::ManualExecutor executor;
    platform::ManualClock clock{executor};
    platform::ManualSerialQueue pool;
    auto observers = std::make_shared<platform::X11AccessibilityObservers>(world.display(), executor);
    auto signal = AccessibilityWindowSignal::create(observers, executor, pool, clock);

    constexpr int windows = 100;
    std::vector<double> times;
    for (int i = 0; i < windows; ++i) {
        std::optional<bool> answer;
        platform::spawn(executor, [&]() -> platform::Async<> {
            answer = co_await signal->wait(client->pid(), std::chrono::seconds(10));
        });
        executor.runUntilIdle();
        while (pool.step())
            executor.runUntilIdle();
        const auto start = Stopwatch::now();
        const auto window = client->open("title=signal w=200 h=150");
        if (!executor.runUntil([&] { return answer.has_value(); }, std::chrono::seconds(5)) || !*answer)
            throw std::runtime_error("the signal did not answer true");
        times.push_back(millisecondsSince(start));
        client->destroy(window);
    }
    signal->cancel();
    executor.runUntilIdle();
    const Figures figures = figuresOf(times);
    std::printf("open request to the window-created signal's true, %d windows: median %.2f ms, p95 %.2f ms\n",
                windows, figures.median, figures.p95);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "benchmark failed: %s\n", error.what());
    return 1;
}
