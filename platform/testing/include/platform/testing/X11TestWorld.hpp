#pragma once
// A private X display for integration tests: its own Xvfb on a free display number, a window
// manager (openbox, fluxbox or icewm) with the project's configuration, RandR monitors on demand and
// client processes of ours that open windows. Everything it started stops when it is destroyed, whatever happened meanwhile.

#include "platform/testing/ChildProcess.hpp"
#include "platform/x11/Deadline.hpp"
#include "platform/x11/WindowFrame.hpp"

#include <chrono>
#include <functional>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform::x11 {
class XcbConnection;
class X11Desktop;
} // namespace platform::x11

// No xcb header here: tests outside platform/ use the world without the xcb layer.
namespace platform::testing {

using x11::WindowId;

class X11TestWorld;

// One client process of ours; each is its own application, with its own process id.
class TestClient {
public:
    pid_t pid() const { return process_->pid(); }
    // Opens a window (options as the test client reads them, e.g. "title=a w=400 h=300 min=200x100")
    // and returns once the window manager manages it (and maximized it or made it fullscreen, when
    // asked).
    // THROWS std::runtime_error when that does not happen in time.
    WindowId open(const std::string& options);
    // An unmapped window of this process that the window manager never manages (a toolkit's group
    // leader); a dialog may name it in transient=.
    WindowId openLeader();
    // Writes a property on a window of this process ("NAME:TYPE:FORMAT:V1,V2,...", as the open
    // option prop= takes it) and returns once the server has applied it.
    void setProperty(WindowId window, const std::string& property);
    // Returns once the window manager has dropped the window.
    void destroy(WindowId window);
    // Withdraws the window (unmaps it, keeping it) and returns once the window manager dropped it.
    void unmap(WindowId window);
    // Asks for the iconic state and returns once the window manager applied it and moved the
    // focus away.
    void minimize(WindowId window);

private:
    friend class X11TestWorld;
    TestClient(X11TestWorld& world, std::unique_ptr<ChildProcess> process)
        : world_(world), process_(std::move(process)) {}
    std::string request(const std::string& line, const std::string& answerPrefix);

    X11TestWorld& world_;
    std::unique_ptr<ChildProcess> process_;
};

// The window managers the world can run, each with a configuration of the world's own that binds
// none of the program's keys.
enum class WindowManager { openbox, fluxbox, icewm };
const char* nameOf(WindowManager manager);
// The window managers the tests that run under each should use: all three, or those named in
// TIDEWRIGHT_TEST_WINDOW_MANAGERS (comma-separated, e.g. "openbox" for the sanitizer builds).
std::vector<WindowManager> testedWindowManagers();

struct Monitor {
    std::string name;
    x11::PixelRect area;
    bool primary = false;
};

// A window's pixels as the server holds them, row by row, each 0xAARRGGBB (opaque below depth 32).
struct WindowImage {
    int width = 0;
    int height = 0;
    int depth = 0;
    std::vector<std::uint32_t> pixels;
};

class X11TestWorld {
public:
    struct Options {
        int width = 1920;
        int height = 1080;
        bool windowManager = true;
        WindowManager manager = WindowManager::openbox;
    };
    // THROWS std::runtime_error when the server or the window manager does not come up in time.
    explicit X11TestWorld(Options options);
    X11TestWorld() : X11TestWorld(Options{}) {}
    ~X11TestWorld();

    // ":N", to pass on to the code under test.
    const std::string& display() const { return display_; }
    // The world's own connection, for checks that bypass the code under test.
    x11::XcbConnection& connection() { return *connection_; }
    x11::X11Desktop& desktop() { return *desktop_; }

    std::unique_ptr<TestClient> startClient();
    // Replaces the monitors with these (xrandr --setmonitor); the first takes the server's output.
    void setMonitors(const std::vector<Monitor>& monitors);
    WindowManager manager() const { return manager_; }
    // Stops the window manager cleanly; it unframes its windows first.
    void stopWindowManager();
    // Kills the window manager at once (SIGKILL), as a crash would; the server takes its windows back.
    void killWindowManager();
    // Starts the window manager again with the world's configuration and returns once it manages the
    // windows already there. THROWS std::runtime_error when it does not come up in time.
    void startWindowManager();
    // The window manager's process, for tests that make it stop answering (SIGSTOP, SIGCONT).
    pid_t windowManagerPid() const { return windowManager_->pid(); }
    // The X server's process, for tests that make it stop answering (SIGSTOP, SIGCONT).
    pid_t serverPid() const { return server_->pid(); }

    // Re-evaluates the predicate after every X event on the world's connection until it holds;
    // false when it did not within the timeout.
    bool waitUntil(const std::function<bool()>& predicate,
                   std::chrono::milliseconds timeout = std::chrono::seconds(5));
    // Also delivers property changes of this window to waitUntil.
    void watch(WindowId window);
    // Raw geometry as the X server reports it: the client's inside corner in root coordinates.
    x11::PixelRect clientGeometry(WindowId window);
    // The window manager's _NET_FRAME_EXTENTS of a window, read directly.
    x11::Extents frameExtents(WindowId window);
    WindowId activeWindow();
    // Asks the window manager to give a window this outer frame (_NET_MOVERESIZE_WINDOW) and returns
    // once the request is sent; the world's next move or settleMoves waits until it was applied.
    void requestFrame(WindowId window, x11::PixelRect frame);
    void settleMoves();
    // Whether _NET_WM_STATE holds either maximized state.
    bool maximized(WindowId window);
    bool fullscreen(WindowId window);
    x11::Deadline soon() const { return x11::Clock::now() + std::chrono::seconds(5); }
    // The mapped windows whose _NET_WM_NAME (else WM_NAME) is this title: the root's children and,
    // under a window manager, their children.
    std::vector<WindowId> mappedWindowsTitled(const std::string& title);
    // The viewable windows anywhere in the tree whose _NET_WM_PID is pid, parents before children.
    std::vector<WindowId> viewableWindowsOf(pid_t pid);
    // Whether some client owns the selection named so (such as "_NET_SYSTEM_TRAY_S0").
    bool selectionOwned(const std::string& selection);
    // The window's parent; none for the root or a window that is gone.
    std::optional<WindowId> parentOf(WindowId window);
    // A viewable window of client's that sits inside a viewable window of host's, such as an icon
    // embedded in a tray; none before there is one.
    std::optional<WindowId> windowEmbeddedIn(pid_t client, pid_t host);
    // The window's pixels; none when it is gone or not viewable.
    std::optional<WindowImage> windowImage(WindowId window);

private:
    void run(const std::vector<std::string>& arguments);
    void start(const Options& options);
    void waitForEventLoop();
    void shutdown();

    std::string home_;
    WindowManager manager_ = WindowManager::openbox;
    std::unique_ptr<ChildProcess> server_;
    std::string display_;
    std::unique_ptr<x11::XcbConnection> connection_;
    std::unique_ptr<x11::X11Desktop> desktop_;
    std::unique_ptr<ChildProcess> windowManager_;
};

} // namespace platform::testing
