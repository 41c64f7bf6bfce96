// Times 200 window moves on a private Xvfb with openbox: each cycle reads the main window's frame,
// writes a new frame (size, position, size) and reads it back, through the window events over the
// X11 backend; then the same 200 moves with xdotool (windowsize, windowmove, getwindowgeometry).
// Prints the median and 95th percentile of both and their ratios.

#include "MoveTiming.hpp"

#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"
#include "platform/testing/BootTime.hpp"
#include "tidewright/windowcontrol/AccessibilityWindowEvents.hpp"
#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"

#include <cstdio>

namespace {

using namespace tidewright;
using namespace tidewright::bench;

ContinuousInstant continuousNow() {
    return ContinuousInstant(platform::testing::bootTime());
}

} // namespace

int main() try {
    platform::testing::X11TestWorld world;
    auto client = world.startClient();
    const platform::x11::WindowId window = openWindow(world, *client);
    auto backend = std::make_shared<platform::X11AccessibilityBackend>(world.display());
    auto permit = std::make_shared<WindowOperationPermit>();
    auto events = [&] {
        return AccessibilityWindowEvents<LiveAccessibilityCalls>(LiveAccessibilityCalls(backend),
                                                                 continuousNow() + std::chrono::seconds(2),
                                                                 permit, true, continuousNow);
    };
    const pid_t pid = client->pid();

    const Figures ours = measure([&](int i) {
        const DesktopFrame target = targets[i % 2];
        const DesktopFrame before = events().mainWindowFrame(pid);
        events().setFrame(pid, before, target);
        if (events().mainWindowFrame(pid) != target)
            throw std::runtime_error("read-back differs");
    });

    reportAgainstXdotool(world.display(), window,
                         "window events over the X11 backend (frame read, setFrame, read-back)", "backend",
                         ours);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "benchmark failed: %s\n", error.what());
    return 1;
} catch (const WindowOperationFailure&) {
    std::fprintf(stderr, "benchmark failed: a window operation failed\n");
    return 1;
}
