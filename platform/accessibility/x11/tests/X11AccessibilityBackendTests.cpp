#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"

#include "platform/accessibility/AccessibilityNames.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "platform/x11/Properties.hpp"
#include "platform/x11/ServerWaits.hpp"
#include "platform/x11/XcbConnection.hpp"

#include <gtest/gtest.h>

#include <signal.h>

#include <atomic>
#include <functional>
#include <future>
#include <limits>
#include <memory>
#include <thread>

namespace platform {
namespace {

using testing::TestClient;
using testing::X11TestWorld;

// Rewrites the window manager's supported list on the root through the world's connection, as a
// window manager changing its mind would, and returns once the server has handled it.
void editSupported(X11TestWorld& world, const std::function<void(std::vector<xcb_atom_t>&)>& edit) {
    x11::XcbConnection& connection = world.connection();
    xcb_connection_t* c = connection.raw();
    const xcb_atom_t supported = connection.atoms().netSupported;
    std::vector<xcb_atom_t> atoms = x11::valuesOf(
        x11::requestProperty(connection, connection.root(), supported, XCB_ATOM_ATOM).get(world.soon()),
        XCB_ATOM_ATOM);
    edit(atoms);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, connection.root(), supported, XCB_ATOM_ATOM, 32,
                        static_cast<std::uint32_t>(atoms.size()), atoms.data());
    connection.sync(world.soon());
}

// The backend on a private display, read through its own connection while the test checks the
// server directly through the world's.
class X11BackendTest : public ::testing::Test {
protected:
    std::optional<AXAttributeValue> read(const AXUIElement& element, std::string_view attribute,
                                         AXError expected = AXError::success) {
        std::optional<AXAttributeValue> value;
        EXPECT_EQ(backend.copyAttributeValue(element, attribute, value), expected) << attribute;
        return value;
    }
    bool flag(const AXUIElement& element, std::string_view attribute) {
        auto value = read(element, attribute);
        return value && std::get<bool>(*value);
    }
    std::string text(const AXUIElement& element, std::string_view attribute) {
        auto value = read(element, attribute);
        return value ? std::get<std::string>(*value) : "";
    }
    // The window behind an element this backend delivered, found through its frame.
    x11::PixelRect frameOf(const AXUIElement& window) {
        auto position = read(window, ax::positionAttribute);
        auto size = read(window, ax::sizeAttribute);
        if (!position || !size)
            return {};
        CGPoint p = *std::get<AXValue>(*position).point();
        CGSize s = *std::get<AXValue>(*size).size();
        return {static_cast<std::int32_t>(p.x), static_cast<std::int32_t>(p.y),
                static_cast<std::int32_t>(s.width), static_cast<std::int32_t>(s.height)};
    }
    x11::PixelRect expectedFrame(xcb_window_t window, x11::Extents shadow = {}) {
        x11::PixelRect client = world.clientGeometry(window);
        x11::Extents frame = world.frameExtents(window);
        return {client.x - frame.left + shadow.left, client.y - frame.top + shadow.top,
                client.width + frame.left + frame.right - shadow.left - shadow.right,
                client.height + frame.top + frame.bottom - shadow.top - shadow.bottom};
    }
    AXUIElement mainWindow(pid_t pid) {
        auto value = read(backend.createApplication(pid), ax::mainWindowAttribute);
        EXPECT_TRUE(value.has_value());
        return value ? std::get<AXUIElement>(*value) : backend.createSystemWide();
    }
    void waitForActive(xcb_window_t window) {
        ASSERT_TRUE(world.waitUntil([&] { return world.activeWindow() == window; }));
    }

    X11TestWorld world;
    X11AccessibilityBackend backend{world.display()};
};

TEST_F(X11BackendTest, FrameIsTheServerGeometryWithTheExtents) {
    auto client = world.startClient();
    xcb_window_t decorated = client->open("title=decorated x=120 y=80 w=400 h=300");
    x11::Extents shadow{20, 22, 14, 30};
    xcb_window_t drawn = client->open("title=drawn x=600 y=200 w=500 h=400 decor=0 gtk=20,22,14,30");

    AXUIElement application = backend.createApplication(client->pid());
    auto windows = std::get<AXElementArray>(*read(application, ax::windowsAttribute));
    ASSERT_EQ(windows.size(), 2U);
    EXPECT_NE(world.frameExtents(decorated), x11::Extents{});
    EXPECT_EQ(frameOf(windows[0]), expectedFrame(decorated));
    EXPECT_EQ(frameOf(windows[1]), expectedFrame(drawn, shadow));
    EXPECT_EQ(frameOf(windows[1]).width, 500 - 42);
}

TEST_F(X11BackendTest, MainWindowOfAProcessWithADialogOpenIsTheDialogsParent) {
    auto client = world.startClient();
    xcb_window_t document = client->open("title=document");
    waitForActive(document);
    xcb_window_t dialog =
        client->open("title=dialog type=dialog modal=1 transient=" + std::to_string(document));
    waitForActive(dialog);

    AXUIElement application = backend.createApplication(client->pid());
    EXPECT_TRUE(flag(application, ax::frontmostAttribute));
    AXUIElement focused = std::get<AXUIElement>(*read(application, ax::focusedWindowAttribute));
    EXPECT_TRUE(flag(focused, ax::modalAttribute));
    EXPECT_EQ(text(focused, ax::subroleAttribute), ax::dialogSubrole);
    AXUIElement main = mainWindow(client->pid());
    EXPECT_EQ(frameOf(main), expectedFrame(document));
    EXPECT_FALSE(flag(main, ax::modalAttribute));
    EXPECT_EQ(text(main, ax::roleAttribute), ax::windowRole);
    EXPECT_EQ(text(main, ax::subroleAttribute), ax::standardWindowSubrole);
    std::int64_t count = 0;
    EXPECT_EQ(backend.getAttributeValueCount(application, ax::windowsAttribute, count), AXError::success);
    EXPECT_EQ(count, 2);
}

TEST_F(X11BackendTest, MainWindowIsNeverAnUnmanagedTransientParent) {
    auto client = world.startClient();
    xcb_window_t document = client->open("title=document x=300 y=200");
    xcb_window_t leader = client->openLeader();
    xcb_window_t dialog = client->open("title=dialog type=dialog transient=" + std::to_string(leader));
    waitForActive(dialog);

    // The leader belongs to the process but is no window of it: the rule goes on to the stacking.
    EXPECT_EQ(frameOf(mainWindow(client->pid())), expectedFrame(document));
}

TEST_F(X11BackendTest, MainWindowWhenAnotherProcessIsActive) {
    auto background = world.startClient();
    xcb_window_t lower = background->open("title=lower");
    xcb_window_t upper = background->open("title=upper pid=0"); // found through the server
    background->open("title=palette type=utility");
    auto foreground = world.startClient();
    xcb_window_t other = foreground->open("title=other");
    waitForActive(other);

    AXUIElement application = backend.createApplication(background->pid());
    EXPECT_FALSE(flag(application, ax::frontmostAttribute));
    EXPECT_FALSE(read(application, ax::focusedWindowAttribute).has_value());
    // The topmost normal window: the utility window above it does not count.
    EXPECT_EQ(frameOf(mainWindow(background->pid())), expectedFrame(upper));
    (void)lower;
}

TEST_F(X11BackendTest, MainWindowOfAProcessWhoseOnlyWindowIsMinimized) {
    auto client = world.startClient();
    xcb_window_t only = client->open("title=only");
    client->minimize(only);

    AXUIElement application = backend.createApplication(client->pid());
    EXPECT_FALSE(flag(application, ax::frontmostAttribute));
    EXPECT_FALSE(read(application, ax::focusedWindowAttribute).has_value());
    AXUIElement main = mainWindow(client->pid());
    EXPECT_TRUE(flag(main, ax::minimizedAttribute));
    EXPECT_EQ(frameOf(main), expectedFrame(only));
}

TEST_F(X11BackendTest, SubrolesByWindowType) {
    auto client = world.startClient();
    struct Case {
        const char* options;
        std::string_view subrole;
    };
    xcb_window_t parent = client->open("title=parent");
    const Case cases[] = {
        {"type=normal", ax::standardWindowSubrole},
        {"type=dialog", ax::dialogSubrole},
        {"type=utility", ax::floatingWindowSubrole},
        {"type=toolbar", ax::unknownSubrole},
    };
    for (const Case& c : cases) {
        client->open(std::string("title=typed ") + c.options);
    }
    // The first standard type decides.
    client->open("title=toolbar-first types=toolbar,normal");
    client->open("title=untyped-transient transient=" + std::to_string(parent));
    auto windows =
        std::get<AXElementArray>(*read(backend.createApplication(client->pid()), ax::windowsAttribute));
    ASSERT_EQ(windows.size(), 7U);
    EXPECT_EQ(text(windows[0], ax::subroleAttribute), ax::standardWindowSubrole);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(text(windows[i + 1], ax::subroleAttribute), cases[i].subrole) << cases[i].options;
    }
    EXPECT_EQ(text(windows[5], ax::subroleAttribute), ax::unknownSubrole);
    EXPECT_EQ(text(windows[6], ax::subroleAttribute), ax::dialogSubrole);
}

TEST_F(X11BackendTest, SizeOfAFixedWindowIsNotSettable) {
    auto client = world.startClient();
    xcb_window_t fixed = client->open("title=fixed w=300 h=200 min=300x200 max=300x200");
    xcb_window_t limited = client->open("title=limited min=200x100 max=900x700");
    (void)fixed;
    (void)limited;
    auto windows =
        std::get<AXElementArray>(*read(backend.createApplication(client->pid()), ax::windowsAttribute));
    ASSERT_EQ(windows.size(), 2U);
    bool settable = true;
    EXPECT_EQ(backend.isAttributeSettable(windows[0], ax::sizeAttribute, settable), AXError::success);
    EXPECT_FALSE(settable);
    EXPECT_EQ(backend.isAttributeSettable(windows[1], ax::sizeAttribute, settable), AXError::success);
    EXPECT_TRUE(settable);
}

TEST_F(X11BackendTest, ErrorCodes) {
    auto client = world.startClient();
    xcb_window_t window = client->open("title=doomed");
    AXUIElement application = backend.createApplication(client->pid());
    AXUIElement element = mainWindow(client->pid());
    std::optional<AXAttributeValue> value;

    // No enhanced interface on this platform, for reads and writes alike.
    EXPECT_EQ(backend.copyAttributeValue(application, ax::enhancedUserInterfaceAttribute, value),
              AXError::attributeUnsupported);
    EXPECT_EQ(backend.setAttributeValue(application, ax::enhancedUserInterfaceAttribute, false),
              AXError::attributeUnsupported);
    EXPECT_EQ(backend.copyAttributeValue(element, "AXTitle", value), AXError::attributeUnsupported);
    EXPECT_EQ(backend.setAttributeValue(element, ax::sizeAttribute, AXValue(CGPoint{1, 2})),
              AXError::illegalArgument);

    // A window destroyed between two calls is gone; so is a process that ended.
    ASSERT_EQ(backend.copyAttributeValue(element, ax::positionAttribute, value), AXError::success);
    client->destroy(window);
    EXPECT_EQ(backend.copyAttributeValue(element, ax::positionAttribute, value), AXError::invalidUIElement);
    EXPECT_EQ(backend.setAttributeValue(element, ax::positionAttribute, AXValue(CGPoint{1, 2})),
              AXError::invalidUIElement);
    // A process without windows has no main window.
    value.reset();
    EXPECT_EQ(backend.copyAttributeValue(application, ax::mainWindowAttribute, value), AXError::success);
    EXPECT_FALSE(value.has_value());
    pid_t pid = client->pid();
    client.reset();
    EXPECT_EQ(backend.copyAttributeValue(backend.createApplication(pid), ax::windowsAttribute, value),
              AXError::invalidUIElement);
}

// A window the window manager dropped still exists on the server: it is gone all the same. A write
// must not pass for done, nor move the window.
TEST_F(X11BackendTest, AWithdrawnWindowIsGoneForReadsAndWrites) {
    auto client = world.startClient();
    xcb_window_t window = client->open("title=withdrawn x=100 y=100 w=400 h=300");
    AXUIElement element = mainWindow(client->pid());
    client->unmap(window);
    const x11::PixelRect before = world.clientGeometry(window);
    read(element, ax::positionAttribute, AXError::invalidUIElement);
    const std::pair<std::string_view, AXValue> writes[] = {
        {ax::positionAttribute, AXValue(CGPoint{500, 400})},
        {ax::sizeAttribute, AXValue(CGSize{700, 500})},
    };
    for (const auto& [attribute, value] : writes) {
        EXPECT_EQ(backend.setAttributeValue(element, attribute, value), AXError::invalidUIElement)
            << attribute;
    }
    EXPECT_EQ(world.clientGeometry(window), before);
}

// A write returns once sent. The window manager applies the writes of a window in order, the next
// read waits until it has, and a write to another window lets the earlier ones land first.
TEST_F(X11BackendTest, ReadsAndOtherWindowsSeeEveryWriteBeforeThem) {
    auto client = world.startClient();
    xcb_window_t window = client->open("title=ordered x=100 y=100 w=400 h=300");
    AXUIElement element = mainWindow(client->pid());
    const x11::PixelRect start = frameOf(element);
    const auto set = [&](const AXUIElement& target, std::string_view attribute, AXValue value) {
        ASSERT_EQ(backend.setAttributeValue(target, attribute, value), AXError::success) << attribute;
    };
    // Away and straight back: the second write goes out although the window still looks unchanged.
    set(element, ax::sizeAttribute, AXValue(CGSize{600, 450}));
    set(element, ax::sizeAttribute,
        AXValue(CGSize{static_cast<double>(start.width), static_cast<double>(start.height)}));
    set(element, ax::positionAttribute, AXValue(CGPoint{300, 250}));
    EXPECT_EQ(frameOf(element), (x11::PixelRect{300, 250, start.width, start.height}));
    EXPECT_EQ(expectedFrame(window), frameOf(element));

    xcb_window_t otherWindow = client->open("title=other x=50 y=50 w=300 h=200");
    waitForActive(otherWindow);
    AXUIElement other = mainWindow(client->pid());
    set(element, ax::sizeAttribute, AXValue(CGSize{700, 500}));
    set(other, ax::positionAttribute, AXValue(CGPoint{20, 30}));
    EXPECT_EQ(expectedFrame(window).width, 700);
    EXPECT_EQ(expectedFrame(window).height, 500);
    EXPECT_EQ(frameOf(other).x, 20);
    EXPECT_EQ(expectedFrame(otherWindow), frameOf(other));

    // A window that goes after a write is gone for the next read, at once.
    set(other, ax::sizeAttribute, AXValue(CGSize{350, 250}));
    client->destroy(otherWindow);
    read(other, ax::sizeAttribute, AXError::invalidUIElement);
}

// What a window's and the root's properties say is kept between calls, and every change the server
// reports shows at the next call: a new type, a minimized window, another active window.
TEST_F(X11BackendTest, KeptReadsFollowEveryChangeTheServerReports) {
    auto client = world.startClient();
    xcb_window_t window = client->open("title=kept");
    waitForActive(window);
    AXUIElement application = backend.createApplication(client->pid());
    AXUIElement element = mainWindow(client->pid());
    EXPECT_EQ(text(element, ax::subroleAttribute), ax::standardWindowSubrole);
    const std::uint64_t replies = x11::serverWaits().replies;
    EXPECT_EQ(text(element, ax::subroleAttribute), ax::standardWindowSubrole);
    EXPECT_TRUE(flag(application, ax::frontmostAttribute));
    EXPECT_EQ(x11::serverWaits().replies, replies) << "an unchanged read asks the server nothing";

    const x11::Atoms& a = world.connection().atoms();
    client->setProperty(window, "_NET_WM_WINDOW_TYPE:ATOM:32:" + std::to_string(a.netWmWindowTypeDialog));
    EXPECT_EQ(text(element, ax::subroleAttribute), ax::dialogSubrole);
    client->setProperty(window, "_NET_WM_WINDOW_TYPE:ATOM:32:" + std::to_string(a.netWmWindowTypeNormal));
    EXPECT_EQ(text(element, ax::subroleAttribute), ax::standardWindowSubrole);

    auto other = world.startClient();
    xcb_window_t otherWindow = other->open("title=other");
    waitForActive(otherWindow);
    EXPECT_FALSE(flag(application, ax::frontmostAttribute));
    AXUIElement otherElement = mainWindow(other->pid());
    EXPECT_EQ(text(otherElement, ax::subroleAttribute), ax::standardWindowSubrole);
    EXPECT_FALSE(flag(element, ax::minimizedAttribute));
    client->minimize(window);
    EXPECT_TRUE(flag(element, ax::minimizedAttribute));
    other->destroy(otherWindow);
    read(otherElement, ax::subroleAttribute, AXError::invalidUIElement);
}

TEST_F(X11BackendTest, AServerThatDoesNotAnswerWithinTheTimeoutCannotComplete) {
    auto client = world.startClient();
    client->open("title=frozen");
    AXUIElement application = backend.createApplication(client->pid());
    ASSERT_EQ(backend.setMessagingTimeout(backend.createSystemWide(), 0.2F), AXError::success);
    std::optional<AXAttributeValue> value;
    ASSERT_EQ(backend.copyAttributeValue(application, ax::mainWindowAttribute, value), AXError::success);

    // A backend that connects only now waits for the server's greeting no longer either.
    X11AccessibilityBackend late(world.display());
    ASSERT_EQ(late.setMessagingTimeout(late.createSystemWide(), 0.2F), AXError::success);

    // The window list reads each window's map state, which is never kept: it asks the server.
    ::kill(world.serverPid(), SIGSTOP);
    AXError frozen = backend.copyAttributeValue(application, ax::windowsAttribute, value);
    AXError unreachable =
        late.copyAttributeValue(late.createApplication(client->pid()), ax::mainWindowAttribute, value);
    ::kill(world.serverPid(), SIGCONT);
    EXPECT_EQ(frozen, AXError::cannotComplete);
    EXPECT_EQ(unreachable, AXError::cannotComplete);
    // The connection stays usable once the server answers again.
    EXPECT_EQ(backend.copyAttributeValue(application, ax::mainWindowAttribute, value), AXError::success);
    EXPECT_TRUE(value.has_value());
}

// The first frame read and the first process lookup of a connection use X extensions, whose
// details libxcb fetches on first use with a wait of its own. Neither may outlast the timeout.
TEST_F(X11BackendTest, FirstUseOfAnExtensionOnAFrozenServerCannotComplete) {
    auto client = world.startClient();
    client->open("title=anonymous pid=0");
    AXUIElement window = mainWindow(client->pid());
    X11AccessibilityBackend fresh(world.display());
    ASSERT_EQ(fresh.setMessagingTimeout(fresh.createSystemWide(), 0.2F), AXError::success);
    // Connected, but no request of an extension made yet.
    std::optional<AXAttributeValue> value;
    ASSERT_EQ(fresh.copyAttributeValue(fresh.createApplication(client->pid()), ax::frontmostAttribute, value),
              AXError::success);

    ::kill(world.serverPid(), SIGSTOP);
    auto frozenCall = [&](std::function<AXError()> call) {
        auto answer = std::async(std::launch::async, std::move(call));
        const bool answered = answer.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
        if (!answered)
            ::kill(world.serverPid(), SIGCONT); // lets the stuck call end
        EXPECT_TRUE(answered);
        return answer.get();
    };
    // The window element delivered by one backend names the same window in another.
    AXError frame = frozenCall([&] {
        std::optional<AXAttributeValue> v;
        return fresh.copyAttributeValue(window, ax::positionAttribute, v);
    });
    AXError owner = frozenCall([&] {
        std::optional<AXAttributeValue> v;
        return fresh.copyAttributeValue(fresh.createApplication(client->pid()), ax::windowsAttribute, v);
    });
    ::kill(world.serverPid(), SIGCONT);
    EXPECT_EQ(frame, AXError::cannotComplete);
    EXPECT_EQ(owner, AXError::cannotComplete);
}

// Calls share one connection, but a call that waits for another to finish with it waits no
// longer than its own timeout.
TEST_F(X11BackendTest, ACallBehindAnotherOnAFrozenServerEndsWithinItsOwnTimeout) {
    auto client = world.startClient();
    client->open("title=contended");
    AXUIElement patient = backend.createApplication(client->pid());
    AXUIElement hurried = backend.createApplication(client->pid());
    ASSERT_EQ(backend.setMessagingTimeout(patient, 60.0F), AXError::success);
    ASSERT_EQ(backend.setMessagingTimeout(hurried, 0.2F), AXError::success);
    std::optional<AXAttributeValue> value;
    ASSERT_EQ(backend.copyAttributeValue(patient, ax::mainWindowAttribute, value), AXError::success);

    ::kill(world.serverPid(), SIGSTOP);
    std::promise<void> started;
    auto first = std::async(std::launch::async, [&] {
        std::optional<AXAttributeValue> v;
        started.set_value();
        return backend.copyAttributeValue(patient, ax::windowsAttribute, v);
    });
    started.get_future().wait();
    auto second = std::async(std::launch::async, [&] {
        std::optional<AXAttributeValue> v;
        return backend.copyAttributeValue(hurried, ax::windowsAttribute, v);
    });
    const bool secondEnded = second.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    const bool firstStillWaits = first.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
    ::kill(world.serverPid(), SIGCONT);
    EXPECT_TRUE(secondEnded);
    EXPECT_TRUE(firstStillWaits);
    EXPECT_EQ(second.get(), AXError::cannotComplete);
    EXPECT_EQ(first.get(), AXError::success);
}

// An operation sets the process-wide timeout to the time it has left. The main thread's trust check
// is no part of it: with 5 ms left to the operation, the check still waits out a server that pauses
// far longer than that.
TEST_F(X11BackendTest, TheTrustCheckKeepsItsOwnTimeoutWhenAnOperationIsNearItsDeadline) {
    ASSERT_TRUE(backend.isProcessTrusted()); // connected
    ASSERT_EQ(backend.setMessagingTimeout(backend.createSystemWide(), 0.005F), AXError::success);
    // The answer is kept until the supported list changes: a change makes the next check ask.
    editSupported(world, [](std::vector<xcb_atom_t>&) {});

    ::kill(world.serverPid(), SIGSTOP);
    std::promise<void> started;
    auto trusted = std::async(std::launch::async, [&] {
        started.set_value();
        return backend.isProcessTrusted();
    });
    started.get_future().wait();
    // Forty times the operation's bound, and still well inside the default one.
    const bool stillWaits = trusted.wait_for(std::chrono::milliseconds(200)) == std::future_status::timeout;
    ::kill(world.serverPid(), SIGCONT);
    EXPECT_TRUE(stillWaits);
    EXPECT_TRUE(trusted.get());
}

// Any finite timeout is allowed, however long: it must bound the waits, not cut them short.
TEST_F(X11BackendTest, AVeryLongTimeoutStillLetsCallsAnswer) {
    auto client = world.startClient();
    client->open("title=patient");
    AXUIElement application = backend.createApplication(client->pid());
    for (float seconds : {1e7F, 1e10F, std::numeric_limits<float>::max()}) {
        ASSERT_EQ(backend.setMessagingTimeout(backend.createSystemWide(), seconds), AXError::success);
        EXPECT_TRUE(read(application, ax::mainWindowAttribute).has_value()) << seconds;
        ASSERT_EQ(backend.setMessagingTimeout(application, seconds), AXError::success);
        EXPECT_TRUE(read(application, ax::mainWindowAttribute).has_value()) << seconds;
        EXPECT_TRUE(backend.isProcessTrusted()) << seconds;
    }
}

TEST_F(X11BackendTest, CallsFromAWorkerThreadAndTheMainThreadAtOnce) {
    auto client = world.startClient();
    client->open("title=shared");
    AXUIElement window = mainWindow(client->pid());
    std::atomic<int> failures{0};
    std::thread worker([&] {
        for (int i = 0; i < 40; ++i) {
            const AXValue size(CGSize{300.0 + i, 200.0});
            if (backend.setAttributeValue(window, ax::sizeAttribute, size) != AXError::success)
                ++failures;
            std::optional<AXAttributeValue> value;
            if (backend.copyAttributeValue(window, ax::sizeAttribute, value) != AXError::success || !value ||
                std::get<AXValue>(*value) != size) {
                ++failures;
            }
        }
    });
    for (int i = 0; i < 40; ++i) {
        if (!backend.isProcessTrusted())
            ++failures;
    }
    worker.join();
    EXPECT_EQ(failures.load(), 0);
}

TEST(X11BackendTrust, TrustedOnlyWhileAnEwmhWindowManagerRuns) {
    X11TestWorld world;
    X11AccessibilityBackend backend(world.display());
    EXPECT_TRUE(backend.isProcessTrusted());
    // The answer is kept between checks, and every change the server reports is seen at the next
    // check, with no wait: a window manager that stops, crashes, comes back or changes its list.
    world.stopWindowManager();
    EXPECT_FALSE(backend.isProcessTrusted());
    world.startWindowManager();
    EXPECT_TRUE(backend.isProcessTrusted());
    world.killWindowManager(); // its check window goes, the root still names it
    EXPECT_FALSE(backend.isProcessTrusted());
    world.startWindowManager();
    EXPECT_TRUE(backend.isProcessTrusted());
    const xcb_atom_t moveResize = world.connection().atoms().netMoveresizeWindow;
    editSupported(world, [&](std::vector<xcb_atom_t>& atoms) { std::erase(atoms, moveResize); });
    EXPECT_FALSE(backend.isProcessTrusted());
    editSupported(world, [&](std::vector<xcb_atom_t>& atoms) { atoms.push_back(moveResize); });
    EXPECT_TRUE(backend.isProcessTrusted());
    const std::uint64_t replies = x11::serverWaits().replies;
    EXPECT_TRUE(backend.isProcessTrusted());
    EXPECT_EQ(x11::serverWaits().replies, replies) << "an unchanged answer is not asked for again";

    X11TestWorld bare({.windowManager = false});
    EXPECT_FALSE(X11AccessibilityBackend(bare.display()).isProcessTrusted());
    // No display at all.
    EXPECT_FALSE(X11AccessibilityBackend(":65000").isProcessTrusted());
}

} // namespace
} // namespace platform
