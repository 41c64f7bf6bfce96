#include "platform/testing/X11TestWorld.hpp"

#include "platform/x11/X11Desktop.hpp"

#include <gtest/gtest.h>

#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

namespace platform::testing {
namespace {

bool alive(pid_t pid) {
    return ::kill(pid, 0) == 0;
}

TEST(X11TestWorld, StopsEveryProcessItStarted) {
    pid_t client = 0;
    pid_t server = 0;
    {
        X11TestWorld world;
        server = world.serverPid();
        auto process = world.startClient();
        client = process->pid();
        xcb_window_t window = process->open("title=first");
        auto clients = world.desktop().clientList(world.soon());
        EXPECT_NE(std::find(clients.begin(), clients.end(), window), clients.end());
        EXPECT_TRUE(world.desktop().windowManagerRuns(world.soon()));
    }
    EXPECT_FALSE(alive(client));
    // The display number itself is no proof: a world started by a test running beside this one may
    // take it at once.
    EXPECT_FALSE(alive(server));
}

// Sets an environment variable for one test and puts the old value back.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::string& value) : name_(name) {
        if (const char* old = ::getenv(name))
            old_ = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedVariable() {
        if (old_)
            ::setenv(name_, old_->c_str(), 1);
        else
            ::unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(X11TestWorld, AWorldThatCannotStartLeavesNothingBehind) {
    namespace fs = std::filesystem;
    const fs::path scratch =
        fs::temp_directory_path() / ("tidewright-world-test-" + std::to_string(::getpid()));
    fs::remove_all(scratch);
    fs::create_directories(scratch / "bin");
    fs::create_directories(scratch / "tmp");
    // A search path with the X server and no window manager.
    fs::create_symlink("/usr/bin/Xvfb", scratch / "bin" / "Xvfb");
    {
        ScopedVariable path("PATH", (scratch / "bin").string());
        ScopedVariable tmp("TMPDIR", (scratch / "tmp").string());
        EXPECT_THROW(X11TestWorld world, std::runtime_error);
        EXPECT_TRUE(fs::is_empty(scratch / "tmp"));
    }
    fs::remove_all(scratch);
}

TEST(X11TestWorld, MakesTwoMonitorsWithTheChosenPrimary) {
    X11TestWorld world({.width = 3840, .height = 1080});
    world.setMonitors({{"left", {0, 0, 1920, 1080}, false}, {"right", {1920, 0, 1920, 1080}, true}});
    EXPECT_EQ(world.desktop().desktopOrigin(world.soon()), (x11::PixelPoint{1920, 0}));
}

TEST(X11TestWorld, ClientWindowsCarryWhatTheyWereOpenedWith) {
    X11TestWorld world;
    auto process = world.startClient();
    xcb_window_t plain = process->open("title=plain x=50 y=60 w=320 h=240");
    xcb_window_t anonymous = process->open("title=anonymous pid=0 min=100x80 max=100x80");
    x11::X11Desktop& desktop = world.desktop();

    EXPECT_EQ(desktop.processOf(plain, world.soon()), std::optional<std::int32_t>(process->pid()));
    // Without _NET_WM_PID the server still knows the process.
    EXPECT_EQ(desktop.processOf(anonymous, world.soon()), std::optional<std::int32_t>(process->pid()));
    EXPECT_EQ(desktop.sizeHints(anonymous, world.soon()),
              (x11::SizeHints{x11::PixelSize{100, 80}, x11::PixelSize{100, 80}}));

    process->minimize(plain);
    EXPECT_TRUE(desktop.iconic(plain, world.soon()));
    process->destroy(anonymous);
    auto clients = desktop.clientList(world.soon());
    EXPECT_EQ(std::count(clients.begin(), clients.end(), anonymous), 0);

    xcb_window_t full = process->open("title=full fullscreen=1");
    EXPECT_TRUE(world.fullscreen(full));
    EXPECT_TRUE(world.waitUntil([&] {
        return world.clientGeometry(full) == x11::PixelRect{0, 0, 1920, 1080};
    }));
    EXPECT_FALSE(world.fullscreen(plain));

    // A withdrawn window still exists, unmapped, and is no longer the window manager's.
    process->unmap(full);
    clients = desktop.clientList(world.soon());
    EXPECT_EQ(std::count(clients.begin(), clients.end(), full), 0);
    x11::XcbConnection& c = world.connection();
    auto attributes =
        c.pending<xcb_get_window_attributes_reply_t>(xcb_get_window_attributes(c.raw(), full).sequence)
            .get(world.soon());
    EXPECT_EQ(attributes->map_state, XCB_MAP_STATE_UNMAPPED);
}

} // namespace
} // namespace platform::testing

namespace platform::testing {
namespace {

TEST(X11TestWorld, WindowsToldToRefuseResizesTakeTheirOwnSizeBack) {
    X11TestWorld world;
    auto process = world.startClient();
    xcb_window_t clamped = process->open("title=clamped w=300 h=200 resize=clamp:500x400");
    xcb_window_t stubborn = process->open("title=stubborn w=300 h=200 resize=ignore");
    for (xcb_window_t window : {clamped, stubborn}) {
        world.desktop().moveResize(window, std::nullopt, x11::PixelSize{900, 700}, world.soon());
    }
    EXPECT_TRUE(world.waitUntil([&] {
        auto c = world.clientGeometry(clamped);
        return c.width == 500 && c.height == 400;
    }));
    EXPECT_TRUE(world.waitUntil([&] {
        auto s = world.clientGeometry(stubborn);
        return s.width == 300 && s.height == 200;
    }));
}

} // namespace
} // namespace platform::testing

namespace platform::testing {
namespace {

xcb_window_t parentOf(X11TestWorld& world, xcb_window_t window) {
    x11::XcbConnection& c = world.connection();
    auto tree = c.pending<xcb_query_tree_reply_t>(xcb_query_tree(c.raw(), window).sequence).get(world.soon());
    return tree->parent;
}

// A window is managed once openbox framed it and told it the frame's size.
bool managed(X11TestWorld& world, xcb_window_t window) {
    auto clients = world.desktop().clientList(world.soon());
    return parentOf(world, window) != world.connection().root() && world.frameExtents(window).top > 0 &&
           std::find(clients.begin(), clients.end(), window) != clients.end();
}

TEST(X11TestWorld, AWindowManagerStartedAgainManagesTheWindowsThere) {
    const struct {
        const char* name;
        void (X11TestWorld::*stop)();
    } ways[] = {{"stopped", &X11TestWorld::stopWindowManager}, {"killed", &X11TestWorld::killWindowManager}};
    X11TestWorld world;
    auto process = world.startClient();
    xcb_window_t window = process->open("title=survivor w=300 h=200");
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        ASSERT_TRUE(managed(world, window));
        (world.*way.stop)();
        EXPECT_FALSE(world.desktop().windowManagerRuns(world.soon()));
        EXPECT_EQ(parentOf(world, window), world.connection().root());
        world.startWindowManager();
        EXPECT_TRUE(world.desktop().windowManagerRuns(world.soon()));
        EXPECT_TRUE(world.waitUntil([&] { return managed(world, window); }));
    }
    // Windows opened after the restart are managed as before.
    EXPECT_TRUE(managed(world, process->open("title=newcomer")));
}

} // namespace
} // namespace platform::testing
