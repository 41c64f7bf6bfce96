// A fixed-size window on a real X server and window manager: where it opens, what the window
// manager lets the user do with it, whether it takes the focus, and Control+W.

#include "corbel/ui/FixedWindowGeometry.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/WindowKinds.hpp"
#include "platform/concurrency/MainExecutor.hpp"
#include "platform/hotkeys/SyntheticKeyboard.hpp"
#include "platform/screens/ScreenService.hpp"
#include "platform/screens/X11ScreenSource.hpp"
#include "platform/testing/X11TestWorld.hpp"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
// Qt on a display also opens the session bus (platform theme, accessibility), and libdbus keeps a
// buffer of its own until the process ends.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so.3\n";
}
#endif

namespace corbel {
namespace {

using platform::testing::X11TestWorld;

// Runs the Qt event loop until the predicate holds, checking it every few milliseconds; false at the
// deadline. The window's events reach it only while the loop runs.
bool runUntil(const std::function<bool()>& done,
              std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    QEventLoop loop;
    QElapsedTimer elapsed;
    elapsed.start();
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done() || elapsed.hasExpired(timeout.count())) {
            loop.quit();
        }
    });
    check.start(5);
    if (!done()) {
        loop.exec();
    }
    return done();
}

// A property as xprop prints it: of the window, or of the root without one.
std::string property(const std::string& display, std::optional<WId> window, const std::string& name) {
    platform::testing::ChildProcess::Options options;
    options.pipeStdout = true;
    std::vector<std::string> arguments{"xprop", "-display", display};
    if (window) {
        arguments.insert(arguments.end(), {"-id", std::to_string(*window)});
    } else {
        arguments.emplace_back("-root");
    }
    arguments.push_back(name);
    platform::testing::ChildProcess xprop(arguments, options);
    std::string text;
    while (auto line = xprop.readLine(std::chrono::seconds(5))) {
        text += *line;
    }
    return text;
}

// The visible outer frame: the client grown by the window manager's decorations.
QRect outerFrame(X11TestWorld& world, WId window) {
    const platform::x11::PixelRect client =
        world.clientGeometry(static_cast<platform::x11::WindowId>(window));
    const platform::x11::Extents extents = world.frameExtents(static_cast<platform::x11::WindowId>(window));
    return {client.x - extents.left, client.y - extents.top, client.width + extents.left + extents.right,
            client.height + extents.top + extents.bottom};
}

TEST(LiveFixedWindow, OpensActiveAtThePlannedFrameCannotBeResizedOrMinimizedAndClosesOnControlW) {
    X11TestWorld world;
    // The primary screen on the left; the mouse will be on the right one.
    world.setMonitors({{"left", {0, 0, 1280, 1080}, true}, {"right", {1280, 0, 640, 1080}, false}});
    qputenv("DISPLAY", QByteArray::fromStdString(world.display()));
    qputenv("QT_QPA_PLATFORM", "xcb");
    int argc = 1;
    char name[] = "LiveFixedWindowTests";
    char* argv[] = {name, nullptr};
    QApplication application(argc, argv);
    platform::MainExecutor executor;
    auto screens = std::make_shared<platform::ScreenService>(
        std::make_shared<platform::X11ScreenSource>(world.display()));
    std::shared_ptr<DesktopPointer> pointer = makeQtDesktopPointer();
    QCursor::setPos(1600, 500);
    ASSERT_TRUE(runUntil([&] { return QCursor::pos() == QPoint(1600, 500); }));
    KitWindows::install({&executor, screens, pointer});

    QWidget* hosted = nullptr;
    int closes = 0;
    FixedNativeWindow& window = WelcomeStepsWindow::show(
        QStringLiteral("Fixed"), [&closes] { ++closes; },
        [&hosted] {
            auto content = std::make_unique<QWidget>();
            hosted = content.get();
            return content;
        });
    KitEnvironment::values(*hosted).fixedWindowSize->report(QSizeF(560, 401));
    const WId id = window.winId();

    // Centred on the right screen at the reported size, the height rounded up, decorations counted.
    auto planned = [&] {
        const platform::x11::Extents e = world.frameExtents(static_cast<platform::x11::WindowId>(id));
        const QSizeF size(560 + e.left + e.right, 404 + e.top + e.bottom);
        const QRectF visible = rectOf(screens->screens().at(1).usableArea());
        return QRect(centredOrigin(size, visible).toPoint(), size.toSize());
    };
    const bool placed = runUntil([&] {
        return world.activeWindow() == id &&
               world.frameExtents(static_cast<platform::x11::WindowId>(id)).top > 0 &&
               outerFrame(world, id) == planned();
    });
    EXPECT_TRUE(placed) << "frame " << outerFrame(world, id).x() << "," << outerFrame(world, id).y() << " "
                        << outerFrame(world, id).width() << "x" << outerFrame(world, id).height()
                        << ", planned " << planned().x() << "," << planned().y() << " " << planned().width()
                        << "x" << planned().height() << ", active " << (world.activeWindow() == id);
    EXPECT_EQ(window.size(), QSize(560, 404));

    // Resizing: the window manager offers none, the size hints pin it.
    const std::string actions = property(world.display(), id, "_NET_WM_ALLOWED_ACTIONS");
    EXPECT_NE(actions.find("_NET_WM_ACTION_CLOSE"), std::string::npos) << actions;
    EXPECT_EQ(actions.find("_NET_WM_ACTION_RESIZE"), std::string::npos) << actions;
    EXPECT_EQ(actions.find("_NET_WM_ACTION_MAXIMIZE"), std::string::npos) << actions;
    // Minimizing: the window asks for neither the function nor the button. Openbox lists the action
    // for every ordinary window whatever the window asks, so its list is not the check here.
    const std::string motif = property(world.display(), id, "_MOTIF_WM_HINTS");
    unsigned flags = 0, functions = 0, decorations = 0;
    ASSERT_EQ(std::sscanf(motif.c_str(), "_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = %x, %x, %x", &flags, &functions,
                          &decorations),
              3)
        << motif;
    constexpr unsigned functionsGiven = 0x1, minimizeFunction = 0x8, minimizeButton = 0x20;
    EXPECT_TRUE(flags & functionsGiven) << motif;
    EXPECT_FALSE(functions & minimizeFunction) << motif;
    EXPECT_FALSE(decorations & minimizeButton) << motif;

    platform::testing::SyntheticKeyboard keyboard(world.display());
    keyboard.type({platform::testing::SyntheticKeyboard::controlL, 'w'});
    EXPECT_TRUE(runUntil([&] { return closes == 1 && !window.isVisible(); }));
    // Closed means gone from the window manager's list, not only hidden in Qt.
    const std::string hex = QStringLiteral("0x%1").arg(id, 0, 16).toStdString();
    EXPECT_TRUE(runUntil(
        [&] { return property(world.display(), {}, "_NET_CLIENT_LIST").find(hex) == std::string::npos; }));

    KitWindows::reset();
}

} // namespace
} // namespace corbel
