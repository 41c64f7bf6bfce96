// The real program on Xvfb and openbox: a hot key pressed through the test extension to the
// window's frame read back at the target (200 presses over the six actions), beside the same moves
// done with xdotool and written straight to the window manager (what it and the X server take
// alone); start to the hot keys grabbed with a tray running (20 starts); wake-ups while idle with no
// window open; and resident memory after start, after 1,000 actions, at a first start with its
// welcome open before and after the preferences window was opened and closed 100 times, and after
// the panel and the welcome (through the panel's guide button) were opened and closed 100 times each.
//   ProgramBenchmark [idle seconds, 10 unless given]

#include "MoveTiming.hpp"

#include "platform/hotkeys/SyntheticKeyboard.hpp"
#include "platform/screens/ScreenService.hpp"
#include "platform/screens/X11ScreenSource.hpp"
#include "platform/testing/ChildProcess.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/core/FixedShortcut.hpp"
#include "tidewright/core/WindowPlacement.hpp"
#include "tidewright/shell/ProgramUnderTest.hpp"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace tidewright;
using namespace tidewright::bench;
using tidewright::testing::ProgramUnderTest;

const FixedShortcut shortcuts[] = {FixedShortcut::left, FixedShortcut::right, FixedShortcut::up,
                                   FixedShortcut::d,    FixedShortcut::down,  FixedShortcut::c};

// A field of /proc/<pid>/status in kB, or summed over the process's threads for the switch counts.
long statusField(const std::filesystem::path& status, const std::string& field) {
    std::ifstream input(status);
    std::string line;
    while (std::getline(input, line)) {
        if (line.rfind(field + ":", 0) == 0) {
            return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
        }
    }
    return 0;
}

long residentKilobytes(pid_t pid) {
    return statusField("/proc/" + std::to_string(pid) + "/status", "VmRSS");
}

// Each thread's context switches by thread id, with its name. A thread that ends between two
// readings takes its count with it, so wake-ups are summed per thread, never as two totals.
struct ThreadSwitches {
    std::string name;
    long switches = 0;
};
std::map<std::string, ThreadSwitches> contextSwitches(pid_t pid) {
    std::map<std::string, ThreadSwitches> threads;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task")) {
        std::string name;
        std::getline(std::ifstream(task.path() / "comm"), name);
        threads[task.path().filename().string()] = {
            name, statusField(task.path() / "status", "voluntary_ctxt_switches") +
                      statusField(task.path() / "status", "nonvoluntary_ctxt_switches")};
    }
    return threads;
}

// Switches since before, by thread name, for the threads alive now (a new one counts whole).
std::map<std::string, long> switchesSince(const std::map<std::string, ThreadSwitches>& before,
                                          const std::map<std::string, ThreadSwitches>& now) {
    std::map<std::string, long> byName;
    for (const auto& [id, thread] : now) {
        const auto earlier = before.find(id);
        byName[thread.name] += thread.switches - (earlier == before.end() ? 0 : earlier->second.switches);
    }
    return byName;
}

DesktopFrame outerFrame(platform::testing::X11TestWorld& world, platform::x11::WindowId window) {
    const platform::x11::PixelRect client = world.clientGeometry(window);
    const platform::x11::Extents wm = world.frameExtents(window);
    return frameOf(client.x - wm.left, client.y - wm.top, client.width + wm.left + wm.right,
                   client.height + wm.top + wm.bottom);
}

struct WindowMemory {
    long welcomeOpen = 0;        // kB, the welcome shown, nothing else opened yet
    std::vector<long> afterCycles; // kB, after every 25 openings and closings of the preferences
};

// A first start: the welcome opens by itself and stays open, and the settings command (Control+comma
// while it is active) opens the preferences, which Escape closes again.
WindowMemory windowMemory(platform::testing::X11TestWorld& world) {
    constexpr std::uint32_t comma = 0x2c, escape = 0xff1b;
    ProgramUnderTest setup(world.display(), /*firstStart=*/true);
    auto program = setup.start();
    if (!program->waitForHeldHotkeys(6)) {
        throw std::runtime_error("the program did not grab its hot keys");
    }
    const auto shown = [&](const char* title) { return !world.mappedWindowsTitled(title).empty(); };
    if (!world.waitUntil([&] { return shown("Tidewright"); }, std::chrono::seconds(10))) {
        throw std::runtime_error("the first start opened no welcome");
    }
    platform::testing::SyntheticKeyboard keyboard(world.display());
    WindowMemory memory;
    // Settled: the windows drawn and the first layout passes done.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    memory.welcomeOpen = residentKilobytes(program->pid());
    for (int i = 1; i <= 100; ++i) {
        const auto welcomeActive = [&] {
            const auto welcome = world.mappedWindowsTitled("Tidewright");
            return !welcome.empty() && world.activeWindow() == welcome.front();
        };
        if (!world.waitUntil(welcomeActive, std::chrono::seconds(5))) {
            throw std::runtime_error("the welcome did not become active again");
        }
        keyboard.type({platform::testing::SyntheticKeyboard::controlL, comma});
        if (!world.waitUntil([&] { return shown("Tidewright Preferences"); }, std::chrono::seconds(5))) {
            throw std::runtime_error("the settings command opened no preferences window");
        }
        if (!world.waitUntil(
                [&] {
                    const auto preferences = world.mappedWindowsTitled("Tidewright Preferences");
                    return !preferences.empty() && world.activeWindow() == preferences.front();
                },
                std::chrono::seconds(5))) {
            throw std::runtime_error("the preferences window did not become active");
        }
        keyboard.type({escape});
        if (!world.waitUntil([&] { return !shown("Tidewright Preferences"); }, std::chrono::seconds(5))) {
            throw std::runtime_error("Escape did not close the preferences window");
        }
        if (i % 25 == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            memory.afterCycles.push_back(residentKilobytes(program->pid()));
        }
    }
    ::kill(program->pid(), SIGTERM);
    if (program->process().waitForExit(std::chrono::seconds(10)) != 0) {
        throw std::runtime_error("the program did not end cleanly after the window cycles");
    }
    return memory;
}

bool run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

// The program's icon as an XEmbed tray holds it: its window nested in one of the tray's.
std::optional<platform::x11::WindowId> embeddedIcon(platform::testing::X11TestWorld& world, pid_t program,
                                                    pid_t tray) {
    std::optional<platform::x11::WindowId> icon;
    world.waitUntil([&] { return (icon = world.windowEmbeddedIn(program, tray)).has_value(); },
                    std::chrono::seconds(10));
    return icon;
}

// The program's top-level window of this width, if one is viewable: the panel is 368 wide.
std::optional<platform::x11::WindowId> topLevelOfWidth(platform::testing::X11TestWorld& world, pid_t program,
                                                       bool panel) {
    for (const auto window : world.viewableWindowsOf(program)) {
        // A window that went away since the listing (Qt makes and drops small ones) is not there.
        try {
            const auto parent = world.parentOf(window);
            if (parent && !world.parentOf(*parent) && (world.clientGeometry(window).width == 368) == panel) {
                return window;
            }
        } catch (const std::exception&) {
        }
    }
    return std::nullopt;
}

// The program's welcome window: managed by the window manager (so not a child of the root, as the
// panel's popup is), titled "Tidewright" like the panel, but not of the panel's width.
std::optional<platform::x11::WindowId> welcomeWindow(platform::testing::X11TestWorld& world, pid_t program) {
    const std::vector<platform::x11::WindowId> ours = world.viewableWindowsOf(program);
    for (const auto window : world.mappedWindowsTitled("Tidewright")) {
        try {
            if (std::find(ours.begin(), ours.end(), window) != ours.end() &&
                world.clientGeometry(window).width != 368) {
                return window;
            }
        } catch (const std::exception&) {
        }
    }
    return std::nullopt;
}

struct TrayMemory {
    long atStart = 0;             // kB, the icon in the tray, nothing opened yet
    std::vector<long> afterPanel;   // kB, after every 25 openings and closings of the panel
    std::vector<long> afterWelcome; // kB, after every 25 openings and closings of the welcome
};

// The panel opened by a click on the icon and closed by Escape; the welcome opened by the panel's
// guide button and closed by Escape. The guide button is the second of the three round buttons at
// the panel's bottom right (32 wide, 8 apart, 16 in from the edges); a miss shows as no welcome.
TrayMemory trayMemory(platform::testing::X11TestWorld& world, const ProgramUnderTest& setup, pid_t tray) {
    constexpr std::uint32_t escape = 0xff1b;
    auto program = setup.start();
    if (!program->waitForHeldHotkeys(6)) {
        throw std::runtime_error("the program did not grab its hot keys");
    }
    const std::optional<platform::x11::WindowId> icon = embeddedIcon(world, program->pid(), tray);
    if (!icon) {
        throw std::runtime_error("the tray did not take the icon");
    }
    const platform::x11::PixelRect at = world.clientGeometry(*icon);
    const std::string xdotool = "DISPLAY=" + world.display() + " xdotool ";
    // No --sync: it waits for a motion, and a pointer already on the icon never makes one. The
    // server takes the motion before the click all the same.
    const std::string onIcon = xdotool + "mousemove " + std::to_string(at.x + at.width / 2) + " " +
                               std::to_string(at.y + at.height / 2) + " click 1";
    platform::testing::SyntheticKeyboard keyboard(world.display());
    const auto openPanel = [&] {
        std::optional<platform::x11::WindowId> panel;
        if (!run(onIcon) || !world.waitUntil([&] { return (panel = topLevelOfWidth(world, program->pid(), true)).has_value(); },
                                             std::chrono::seconds(5))) {
            throw std::runtime_error("a click on the icon opened no panel");
        }
        return *panel;
    };
    const auto closed = [&](bool panel) {
        return world.waitUntil([&] { return !topLevelOfWidth(world, program->pid(), panel); },
                               std::chrono::seconds(5));
    };

    TrayMemory memory;
    std::this_thread::sleep_for(std::chrono::seconds(1));
    memory.atStart = residentKilobytes(program->pid());
    for (int i = 1; i <= 100; ++i) {
        openPanel();
        keyboard.type({escape});
        if (!closed(true)) {
            throw std::runtime_error("Escape did not close the panel");
        }
        if (i % 25 == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            memory.afterPanel.push_back(residentKilobytes(program->pid()));
        }
    }
    std::printf("tray: %.1f MB at start; after opening and closing the panel 25, 50, 75, 100 times:",
                memory.atStart / 1024.0);
    for (const long k : memory.afterPanel) {
        std::printf(" %.1f", k / 1024.0);
    }
    std::printf(" MB\n");
    for (int i = 1; i <= 100; ++i) {
        const platform::x11::WindowId panel = openPanel();
        const platform::x11::PixelRect box = world.clientGeometry(panel);
        // Wait until the panel holds still where it opened: a click while it settles would miss.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const std::string onGuide = xdotool + "mousemove " + std::to_string(box.x + box.width - 16 - 32 - 8 - 16) +
                                    " " + std::to_string(box.y + box.height - 16 - 16) + " click 1";
        std::optional<platform::x11::WindowId> welcome;
        if (!run(onGuide) ||
            !world.waitUntil(
                [&] {
                    welcome = welcomeWindow(world, program->pid());
                    return welcome && world.activeWindow() == *welcome;
                },
                std::chrono::seconds(5))) {
            throw std::runtime_error("the guide button opened no active welcome");
        }
        if (topLevelOfWidth(world, program->pid(), true)) {
            throw std::runtime_error("the guide button left the panel open");
        }
        keyboard.type({escape});
        if (!world.waitUntil([&] { return !welcomeWindow(world, program->pid()); }, std::chrono::seconds(5))) {
            throw std::runtime_error("Escape did not close the welcome");
        }
        if (i % 25 == 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            memory.afterWelcome.push_back(residentKilobytes(program->pid()));
        }
    }
    ::kill(program->pid(), SIGTERM);
    if (program->process().waitForExit(std::chrono::seconds(10)) != 0) {
        throw std::runtime_error("the program did not end cleanly after the tray cycles");
    }
    return memory;
}

Figures startToGrabbed(const ProgramUnderTest& setup) {
    std::vector<double> times;
    for (int i = 0; i < 20; ++i) {
        const auto start = Stopwatch::now();
        auto program = setup.start();
        if (!program->waitForHeldHotkeys(6)) {
            throw std::runtime_error("the program did not grab its hot keys");
        }
        times.push_back(millisecondsSince(start));
        ::kill(program->pid(), SIGTERM);
        program->process().waitForExit(std::chrono::seconds(10));
    }
    return figuresOf(std::move(times));
}

} // namespace

int main(int argc, char** argv) try {
    const int idleSeconds = argc > 1 ? std::atoi(argv[1]) : 10;
    platform::testing::X11TestWorld world;
    ProgramUnderTest setup(world.display());
    // A tray along the bottom edge, as on a desktop: the program embeds its icon at every start.
    platform::testing::ChildProcess::Options trayOptions;
    trayOptions.environment = {{"DISPLAY", world.display()}, {"HOME", (setup.root() / "home").string()}};
    trayOptions.quiet = true;
    platform::testing::ChildProcess trayer(
        std::vector<std::string>{"trayer", "--edge", "bottom", "--height", "24", "--SetDockType", "true"}, trayOptions);
    if (!world.waitUntil([&] { return world.selectionOwned("_NET_SYSTEM_TRAY_S0"); }, std::chrono::seconds(10))) {
        throw std::runtime_error("the tray did not start");
    }

    // Each figure is printed once measured, so a later section that fails keeps the earlier ones.
    const Figures start = startToGrabbed(setup);
    std::printf("start to the six hot keys grabbed, a tray running (20 starts): median %.1f ms  p95 %.1f ms\n", start.median,
                start.p95);
    const WindowMemory windows = windowMemory(world);
    std::printf("resident memory at a first start: %.1f MB with the welcome open; after opening and closing the "
                "preferences 25, 50, 75, 100 times:",
                windows.welcomeOpen / 1024.0);
    for (const long kilobytes : windows.afterCycles) {
        std::printf(" %.1f", kilobytes / 1024.0);
    }
    std::printf(" MB\n");
    try {
        const TrayMemory tray = trayMemory(world, setup, trayer.pid());
        const auto series = [](const std::vector<long>& kilobytes) {
            for (const long k : kilobytes) {
                std::printf(" %.1f", k / 1024.0);
            }
        };
        std::printf("tray: after opening and closing the welcome through the panel's guide button 25, 50, 75, "
                    "100 times:");
        series(tray.afterWelcome);
        std::printf(" MB\n");
    } catch (const std::exception& error) {
        std::printf("the tray's memory cycles failed: %s\n", error.what());
    }
    std::fflush(stdout);

    auto program = setup.start();
    if (!program->waitForHeldHotkeys(6)) {
        throw std::runtime_error("the program did not grab its hot keys");
    }
    const long residentAfterStart = residentKilobytes(program->pid());

    // Idle: no window of ours, nothing to do.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const auto switchesBefore = contextSwitches(program->pid());
    std::this_thread::sleep_for(std::chrono::seconds(idleSeconds));
    const std::map<std::string, long> idleSwitches = switchesSince(switchesBefore, contextSwitches(program->pid()));
    long idleTotal = 0;
    for (const auto& [name, switches] : idleSwitches) {
        idleTotal += switches;
    }
    const long threadsBefore = static_cast<long>(switchesBefore.size());

    auto client = world.startClient();
    const platform::x11::WindowId window = openWindow(world, *client);
    world.watch(window);
    platform::ScreenService screens(std::make_shared<platform::X11ScreenSource>(world.display()));
    platform::testing::SyntheticKeyboard keyboard(world.display());

    int pressedAgain = 0;
    std::vector<std::pair<DesktopFrame, DesktopFrame>> moves; // of the timed presses, from and to
    // One press of shortcut i % 6 and the wait for its frame.
    auto press = [&](int i, std::vector<double>* times) {
        const FixedShortcut shortcut = shortcuts[i % 6];
        const DesktopFrame from = outerFrame(world, window);
        const DesktopFrame target =
            WindowPlacement::plan(action(shortcut), from, screens.screens(), SizeCapabilities::unknown(),
                                  PlacementOriginAlignment::wholePoints)
                .requested.frame;
        // A press that finds the window in place ends with nothing to wait for, and the next press
        // would reach the program while it still works on this one, which drops it: skip it.
        if (target == from) {
            return;
        }
        // A press that reaches the program while its previous action still runs is dropped (one
        // action at a time). On a loaded machine that action can outlast the pause below, so such a
        // press is made again, counted, and timed from the press that moved the window.
        Stopwatch::time_point begin;
        for (int attempt = 1;; ++attempt) {
            begin = Stopwatch::now();
            keyboard.type({platform::testing::SyntheticKeyboard::controlL,
                           platform::testing::SyntheticKeyboard::altL, ProgramUnderTest::keysyms[i % 6]});
            if (world.waitUntil([&] { return outerFrame(world, window) == target; }, std::chrono::seconds(1))) {
                break;
            }
            if (attempt == 5) {
                throw std::runtime_error("hot key " + std::to_string(i % 6) + " (press " + std::to_string(i) +
                                         ") did not move the window to its planned frame");
            }
            ++pressedAgain;
        }
        if (times) {
            times->push_back(millisecondsSince(begin));
            moves.emplace_back(from, target);
        }
        // The program still reads the frame back and reports after the window is in place, and a
        // press meanwhile is dropped (one action at a time): let it finish, outside the timing.
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    };

    // The program learns which application is frontmost from the window manager's notices, a little
    // after the window became active: the first, untimed presses wait for that, until one lands.
    const DesktopFrame leftHalf =
        WindowPlacement::plan(action(FixedShortcut::left), outerFrame(world, window), screens.screens(),
                              SizeCapabilities::unknown(), PlacementOriginAlignment::wholePoints)
            .requested.frame;
    if (!world.waitUntil(
            [&] {
                keyboard.type({platform::testing::SyntheticKeyboard::controlL,
                               platform::testing::SyntheticKeyboard::altL, ProgramUnderTest::keysyms[0]});
                return world.waitUntil([&] { return outerFrame(world, window) == leftHalf; },
                                       std::chrono::seconds(1));
            },
            std::chrono::seconds(10))) {
        throw std::runtime_error("the program never moved the window");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(30));

    std::vector<double> times;
    for (int i = 0; static_cast<int>(times.size()) < cycles; ++i) {
        press(i, &times);
    }
    const Figures hotkey = figuresOf(times);
    for (int i = 0; i < 1000; ++i) {
        press(i, nullptr);
    }
    const long residentAfterActions = residentKilobytes(program->pid());

    // The same moves written straight to the window manager from here, one _NET_MOVERESIZE_WINDOW
    // each after one read: what the window manager and the X server take on their own, with the
    // program idle.
    const auto pixels = [](const DesktopFrame& frame) {
        return platform::x11::PixelRect{static_cast<std::int32_t>(frame.minX()),
                                        static_cast<std::int32_t>(frame.minY()),
                                        static_cast<std::int32_t>(frame.size().width().value()),
                                        static_cast<std::int32_t>(frame.size().height().value())};
    };
    std::vector<double> direct;
    for (const auto& [from, target] : moves) {
        world.requestFrame(window, pixels(from));
        world.settleMoves();
        const auto begin = Stopwatch::now();
        world.requestFrame(window, pixels(target));
        if (!world.waitUntil([&] { return outerFrame(world, window) == target; }, std::chrono::seconds(5))) {
            throw std::runtime_error("a move straight to the window manager did not reach its frame");
        }
        direct.push_back(millisecondsSince(begin));
        world.settleMoves();
    }
    const Figures floor = figuresOf(direct);

    reportAgainstXdotool(world.display(), window, "the program: hot key (XTest press) to the frame read back",
                         "hot key", hotkey);
    std::printf("  the same moves written straight to the window manager (one read, one _NET_MOVERESIZE_WINDOW):\n"
                "    median %.3f  p95 %.3f\n",
                floor.median, floor.p95);
    std::printf("presses made again because the previous action still ran: %d\n", pressedAgain);
    std::printf("idle for %d s: %.2f wake-ups per second (context switches of the program's threads, %ld at "
                "the start of the wait)\n",
                idleSeconds, static_cast<double>(idleTotal) / idleSeconds, threadsBefore);
    for (const auto& [name, switches] : idleSwitches) {
        if (switches != 0) {
            std::printf("  %-16s %ld\n", name.c_str(), switches);
        }
    }
    std::printf("resident memory: %.1f MB after start, %.1f MB after 1,000 more actions\n",
                residentAfterStart / 1024.0, residentAfterActions / 1024.0);
    return 0;
} catch (const std::exception& error) {
    std::fprintf(stderr, "benchmark failed: %s\n", error.what());
    return 1;
}
