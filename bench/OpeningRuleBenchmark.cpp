// Times 50 launches of a test application with a maximize rule on a private Xvfb with openbox, through
// every live stand-in wired as the application wires them: from the request that makes the new
// process map its first window to the execution owner's observed outcome. Prints the median and 95th
// percentile, and how many launches did not end with the first window filling the usable area.

#include "MoveTiming.hpp"
#include "OpeningRulesRig.hpp"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace tidewright;

constexpr int launches = 50;

} // namespace

int main(int argc, char** argv) try {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    platform::testing::X11TestWorld world;
    QTemporaryDir data;
    if (!data.isValid() || !QDir().mkpath(data.filePath(QStringLiteral("applications")))) {
        throw std::runtime_error("no folder for the desktop entry");
    }
    QFile entry(data.filePath(QStringLiteral("applications/org.example.Maximized.desktop")));
    if (!entry.open(QIODevice::WriteOnly)) {
        throw std::runtime_error("the desktop entry cannot be written");
    }
    entry.write(desktopEntry("Maximized", "Maximized").c_str());
    entry.close();

    std::vector<double> times;
    int notMaximized = 0;
    {
        OpeningRulesRig rig(world, data.path());
        rig.rules = {{BundleID("org.example.Maximized"), OpeningAction::maximize}};
        rig.start();
        const DesktopFrame usable = rig.screens->screens().at(0).usableArea();
        for (int i = 0; i < launches; ++i) {
            auto client = world.startClient();
            const std::size_t reported = rig.reports.size();
            const auto start = bench::Stopwatch::now();
            const platform::x11::WindowId window =
                client->open("title=launch x=200 y=150 w=640 h=480 " + windowClassOption("Maximized"));
            // The opportunity lasts 10 s; a launch not acted on by then never will be.
            const bool acted =
                rig.until([&] { return rig.reports.size() > reported && !rig.owner->executionKind(); },
                          std::chrono::seconds(12));
            const bool filled = outerFrame(world, window) == usable;
            if (acted && filled &&
                rig.reports.back().outcome.kind() == WindowOperationOutcome::Case::observed) {
                times.push_back(
                    std::chrono::duration<double, std::milli>(rig.reports.back().at - start).count());
            }
            if (!filled) {
                ++notMaximized;
                std::printf("launch %d: the first window was not maximized (%s)\n", i + 1,
                            acted ? caseName(rig.reports.back().outcome.kind()) : "no outcome");
            }
            // The process ends before the next launch, as a user would quit it.
            const pid_t pid = client->pid();
            client.reset();
            rig.until([&] { return !rig.processOf(pid).has_value(); }, std::chrono::seconds(5));
        }
    }

    std::printf("%d launches of an application with a maximize rule, from the window's map request to "
                "the observed outcome\n",
                launches);
    if (!times.empty()) {
        const bench::Figures figures = bench::figuresOf(times);
        std::printf("  median %.1f ms, p95 %.1f ms over %zu observed launches\n", figures.median, figures.p95,
                    times.size());
    }
    std::printf("  first window not maximized: %d of %d\n", notMaximized, launches);
    return notMaximized == 0 ? 0 : 1;
} catch (const std::exception& error) {
    std::fprintf(stderr, "OpeningRuleBenchmark: %s\n", error.what());
    return 1;
}
