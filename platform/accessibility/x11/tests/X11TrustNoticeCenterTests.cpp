// The trust-notice centre on a private X display without a window manager: the test plays the
// window manager's part on the root window, one event at a time, and counts the notices.

#include "platform/accessibility/x11/X11TrustNoticeCenter.hpp"

#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "platform/x11/XcbConnection.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace platform {
namespace {

using namespace std::chrono_literals;
using testing::X11TestWorld;

class X11TrustNoticeCenterTest : public ::testing::Test {
protected:
    void SetUp() override {
        manager = intern("MANAGER");
        ownSelection = intern("WM_S0");
        otherSelection = intern("WM_S1");
        observer = center.addObserver([this] { ++notices; });
        // The reader says so without posting anything, so the world looks again now and then.
        ASSERT_TRUE(world.waitUntil([&] { return center.listening(); }, 10s));
    }
    void TearDown() override { center.removeObserver(observer); }

    xcb_atom_t intern(const std::string& name) {
        auto cookie = xcb_intern_atom(raw(), 0, static_cast<std::uint16_t>(name.size()), name.c_str());
        return world.connection().pending<xcb_intern_atom_reply_t>(cookie.sequence).get(world.soon())->atom;
    }
    xcb_connection_t* raw() { return world.connection().raw(); }
    xcb_window_t root() { return world.connection().root(); }

    void announce(xcb_atom_t selection) {
        xcb_client_message_event_t message{};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = root();
        message.type = manager;
        message.data.data32[0] = XCB_CURRENT_TIME;
        message.data.data32[1] = selection;
        xcb_send_event(raw(), 0, root(), XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
        xcb_flush(raw());
    }
    void setRootProperty(xcb_atom_t property, xcb_atom_t type, std::uint32_t value) {
        xcb_change_property(raw(), XCB_PROP_MODE_REPLACE, root(), property, type, 32, 1, &value);
        xcb_flush(raw());
    }
    xcb_window_t makeWindow() {
        const xcb_window_t window = xcb_generate_id(raw());
        xcb_create_window(raw(), 0, window, root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                          XCB_COPY_FROM_PARENT, 0, nullptr);
        world.connection().sync(world.soon());
        return window;
    }

    // Runs act, then announces the window manager's own selection as a marker. The notices come
    // in the order of their events, so act's and the marker's make the count reach its mark; one
    // too many shows in the next step's count.
    void expectNotices(const std::function<void()>& act, int expected, const char* name) {
        const int mark = notices + expected + 1;
        act();
        announce(ownSelection);
        EXPECT_TRUE(executor.runUntil([&] { return notices >= mark; }, 10s)) << name;
        EXPECT_EQ(notices, mark) << name;
    }

    X11TestWorld world{X11TestWorld::Options{1920, 1080, false}};
    ManualExecutor executor;
    X11TrustNoticeCenter center{world.display(), executor};
    TrustNoticeCenter::ObserverID observer = 0;
    int notices = 0;
    xcb_atom_t manager = XCB_NONE;
    xcb_atom_t ownSelection = XCB_NONE;
    xcb_atom_t otherSelection = XCB_NONE;
};

TEST_F(X11TrustNoticeCenterTest, OneNoticeForEachChangeOfTheWindowManager) {
    const x11::Atoms& atoms = world.connection().atoms();
    const xcb_window_t check = makeWindow();
    const xcb_window_t bystander = makeWindow();
    struct Step {
        const char* name;
        std::function<void()> act;
        int notices;
    };
    const Step steps[] = {
        {"the check window named",
         [&] { setRootProperty(atoms.netSupportingWmCheck, XCB_ATOM_WINDOW, check); }, 1},
        {"the supported list",
         [&] { setRootProperty(atoms.netSupported, XCB_ATOM_ATOM, atoms.netClientList); }, 1},
        {"another root property", [&] { setRootProperty(atoms.netActiveWindow, XCB_ATOM_WINDOW, bystander); },
         0},
        {"another screen's manager", [&] { announce(otherSelection); }, 0},
        {"another window's end", [&] { xcb_destroy_window(raw(), bystander); }, 0},
        // Followed once named, though nothing changed on the root since.
        {"the check window's end", [&] { xcb_destroy_window(raw(), check); }, 1},
        {"two changes at once",
         [&] {
             setRootProperty(atoms.netSupported, XCB_ATOM_ATOM, atoms.netActiveWindow);
             xcb_delete_property(raw(), root(), atoms.netSupportingWmCheck);
         },
         2},
    };
    for (const Step& step : steps) {
        expectNotices(step.act, step.notices, step.name);
    }
    expectNotices([] {}, 0, "nothing");
}

TEST_F(X11TrustNoticeCenterTest, AnObserverRemovedDuringADeliveryHearsNothingAndTheLastStopsTheReader) {
    int other = 0;
    TrustNoticeCenter::ObserverID second = 0;
    const auto first = center.addObserver([&] { center.removeObserver(second); });
    second = center.addObserver([&] { ++other; });
    announce(ownSelection);
    ASSERT_TRUE(executor.runUntil([&] { return notices == 1; }, 10s));
    EXPECT_EQ(other, 0);

    center.removeObserver(first);
    EXPECT_TRUE(center.listening());
    center.removeObserver(observer);
    EXPECT_FALSE(center.listening());
}

} // namespace
} // namespace platform
