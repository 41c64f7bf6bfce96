// Times 200 hot-key presses on a private Xvfb: from a synthetic Control+Alt+Left sent through the
// X test extension to the hot-key service's onShortcut on the main thread, through the live X11
// backend, the registrar and the service. Prints the median and p95 in microseconds.

#include "platform/concurrency/MainExecutor.hpp"
#include "platform/hotkeys/SyntheticKeyboard.hpp"
#include "platform/hotkeys/X11HotkeyBackend.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/windowcontrol/CarbonHotkeyRegistrar.hpp"
#include "tidewright/windowcontrol/HotkeyService.hpp"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace {

using namespace tidewright;
using Clock = std::chrono::steady_clock;
using platform::testing::SyntheticKeyboard;

constexpr int presses = 200;
constexpr int warmUp = 10;

// No screen reader runs on the benchmark's display.
class NoScreenReader final : public VoiceOverReading {
public:
    bool isEnabled() const override { return false; }
    void start() override {}
    void stop() override {}
};

// Nearest-rank percentile of sorted samples.
double percentile(const std::vector<double>& sorted, double p) {
    return sorted[static_cast<std::size_t>(p * static_cast<double>(sorted.size() - 1) + 0.5)];
}

} // namespace

int main(int argc, char** argv) try {
    QCoreApplication application(argc, argv);
    platform::MainExecutor executor;
    platform::testing::X11TestWorld world;
    platform::X11HotkeyBackend backend(world.display(), executor);
    auto service = HotkeyService::make(std::make_shared<CarbonHotkeyRegistrar>(backend),
                                       std::make_shared<NoScreenReader>());
    service->apply({FixedShortcut::left});
    if (service->registrations().at(FixedShortcut::left) != ShortcutRegistration::registered) {
        throw std::runtime_error("Control+Alt+Left could not be registered");
    }
    SyntheticKeyboard keyboard(world.display());

    std::optional<Clock::time_point> arrived;
    QEventLoop loop;
    QTimer limit; // restarted for each press, so no earlier press's limit ends a later wait
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    service->onShortcut = [&](FixedShortcut) {
        arrived = Clock::now();
        loop.quit();
    };
    std::vector<double> microseconds;
    for (int i = 0; i < warmUp + presses; ++i) {
        arrived.reset();
        const Clock::time_point sent = Clock::now();
        keyboard.type({SyntheticKeyboard::controlL, SyntheticKeyboard::altL, SyntheticKeyboard::left});
        limit.start(5000);
        loop.exec();
        limit.stop();
        if (!arrived) {
            throw std::runtime_error("a press did not arrive within 5 s");
        }
        if (i >= warmUp) {
            microseconds.push_back(std::chrono::duration<double, std::micro>(*arrived - sent).count());
        }
    }
    std::sort(microseconds.begin(), microseconds.end());
    std::printf("%d presses of Control+Alt+Left (Xvfb, X test extension) to onShortcut on the main thread\n",
                presses);
    std::printf("  median %.1f us  p95 %.1f us  (min %.1f, max %.1f)\n", percentile(microseconds, 0.5),
                percentile(microseconds, 0.95), microseconds.front(), microseconds.back());
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "benchmark failed: %s\n", error.what());
    return 1;
}
