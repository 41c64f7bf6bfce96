#pragma once
// The real program's snapshot window on a test display, read back as an image: for the
// end-to-end test of snapshot mode and the gallery of every screen.

#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/shell/ProgramUnderTest.hpp"

#include <QImage>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tidewright::testing {

// The title the snapshot window of the application's brand carries.
inline const std::string snapshotWindowTitle = "Tidewright Snapshot";

inline QImage imageOf(const platform::testing::WindowImage& shot) {
    const QImage view(reinterpret_cast<const uchar*>(shot.pixels.data()), shot.width, shot.height,
                      shot.width * 4, QImage::Format_ARGB32_Premultiplied);
    return view.copy();
}

struct SnapshotShot {
    std::vector<platform::testing::WindowId> windows; // every snapshot window that was shown
    QImage image;                                     // the first one's pixels
    std::optional<int> exitStatus;                    // its wait status, when the program ended instead
};

// Starts the program with `arguments`, waits for its snapshot window and for two reads of its
// pixels in a row to agree on a drawn image (the window is drawn once), and reads them. Empty image at the timeout
// or when the program ends first; the program is stopped on return.
inline SnapshotShot captureSnapshot(platform::testing::X11TestWorld& world, const ProgramUnderTest& setup,
                                    const std::vector<std::string>& arguments,
                                    std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
    SnapshotShot shot;
    const std::unique_ptr<RunningProgram> program = setup.start(arguments);
    std::optional<platform::testing::WindowImage> previous;
    world.waitUntil(
        [&] {
            if ((shot.exitStatus = program->process().waitForExit(std::chrono::milliseconds(0)))) {
                return true;
            }
            shot.windows = world.mappedWindowsTitled(snapshotWindowTitle);
            if (shot.windows.empty()) {
                return false;
            }
            std::optional<platform::testing::WindowImage> now = world.windowImage(shot.windows.front());
            // A window not drawn yet is one colour throughout.
            if (now && std::all_of(now->pixels.begin(), now->pixels.end(),
                                   [&](std::uint32_t pixel) { return pixel == now->pixels.front(); })) {
                now.reset();
            }
            const bool settled = now && previous && now->width == previous->width &&
                                 now->height == previous->height && now->pixels == previous->pixels;
            previous = std::move(now);
            return settled;
        },
        timeout);
    if (!shot.exitStatus && previous) {
        shot.image = imageOf(*previous);
    }
    return shot;
}

} // namespace tidewright::testing
