// Every screen of the real program in snapshot mode, as PNG files: the panel, the preferences, the
// welcome and the welcome after its allow button, in every fixture state, light and dark, English
// and German, and the panel and the preferences also at the largest text size and with increased
// contrast. Runs on a private Xvfb and prints each file it wrote.
//   SnapshotGallery <folder>

#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/shell/ProgramUnderTest.hpp"
#include "tidewright/shell/SnapshotCapture.hpp"

#include <QGuiApplication>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using tidewright::testing::ProgramUnderTest;

struct Surface {
    const char* name;
    std::vector<std::string> arguments;
    bool variants; // also at the largest text size and with increased contrast
};

const Surface surfaces[] = {
    {"panel", {}, true},
    {"preferences", {"--snapshot-preferences"}, true},
    {"welcome", {"--snapshot-welcome"}, false},
    {"welcome-asked", {"--snapshot-welcome", "--snapshot-asked"}, false},
};
const char* const states[] = {"ready", "off", "permissions", "conflicts", "sync", "many"};
const char* const schemes[] = {"light", "dark"};
const char* const locales[] = {"en", "de"};

struct Variant {
    const char* name; // empty: the standard look
    std::vector<std::string> arguments;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: SnapshotGallery <folder>\n");
        return 2;
    }
    // QImage writes the files; no window of this process is shown.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);

    // Tall enough that the largest text still fits on screen: a window must be wholly on screen to
    // be read back.
    platform::testing::X11TestWorld world({.width = 2400, .height = 7200, .windowManager = false});
    const ProgramUnderTest setup(world.display());

    int failures = 0;
    for (const Surface& surface : surfaces) {
        std::vector<Variant> variants{{"", {}}};
        if (surface.variants) {
            variants.push_back({"large", {"--snapshot-large-text"}});
            variants.push_back({"contrast", {"--snapshot-increased-contrast"}});
        }
        for (const Variant& variant : variants) {
            for (const char* state : states) {
                for (const char* scheme : schemes) {
                    for (const char* locale : locales) {
                        std::vector<std::string> arguments = surface.arguments;
                        arguments.insert(arguments.end(), {"--snapshot-state", state, "--snapshot-locale", locale,
                                                           std::string("--snapshot-") + scheme});
                        arguments.insert(arguments.end(), variant.arguments.begin(), variant.arguments.end());
                        std::string name = std::string(surface.name) + "-" + state + "-" + scheme + "-" + locale;
                        if (*variant.name != '\0') {
                            name += std::string("-") + variant.name;
                        }
                        const std::filesystem::path file = folder / (name + ".png");
                        const tidewright::testing::SnapshotShot shot =
                            tidewright::testing::captureSnapshot(world, setup, arguments);
                        if (shot.image.isNull() || !shot.image.save(QString::fromStdString(file.string()))) {
                            ++failures;
                            std::fprintf(stderr, "%s: no snapshot (%s)\n", name.c_str(),
                                         shot.exitStatus ? ("wait status " + std::to_string(*shot.exitStatus)).c_str()
                                                         : "no window drawn in time");
                            continue;
                        }
                        std::printf("%s %dx%d\n", file.c_str(), shot.image.width(), shot.image.height());
                        std::fflush(stdout);
                    }
                }
            }
        }
    }
    return failures == 0 ? 0 : 1;
}
