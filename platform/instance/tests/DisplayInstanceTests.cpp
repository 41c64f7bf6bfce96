// One program per display on a private X server: the first start takes the selection and says so
// on the root window, later starts reach its hook and end, its window going away frees the
// selection, and a program that takes it over is reported.

#include "platform/concurrency/MainExecutor.hpp"
#include "platform/instance/DisplayInstance.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "platform/x11/XcbConnection.hpp"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
namespace {

const std::string applicationId = "app.corbelthane.tidewright.test";

class DisplayInstanceTest : public ::testing::Test {
protected:
    // Runs the event loop until done holds; the time limit only ends a failing test.
    static bool until(const std::function<bool()>& done) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        }
        return done();
    }

    xcb_atom_t atom(const std::string& name) {
        x11::XcbConnection& c = world.connection();
        return c.pending<xcb_intern_atom_reply_t>(
                    xcb_intern_atom(c.raw(), 0, static_cast<std::uint16_t>(name.size()), name.data()).sequence)
            .get(world.soon())
            ->atom;
    }

    xcb_window_t owner() {
        x11::XcbConnection& c = world.connection();
        return c.pending<xcb_get_selection_owner_reply_t>(
                    xcb_get_selection_owner(c.raw(), atom(applicationId + "_S0")).sequence)
            .get(world.soon())
            ->owner;
    }

    // An owner that counts the requests of later starts and the losses of its selection.
    std::unique_ptr<DisplayInstance> counted(DisplayInstance::Claim claim) {
        if (claim.owner) {
            claim.owner->onShowPanelRequested = [this] { ++requests; };
            claim.owner->onSelectionLost = [this] { ++losses; };
        }
        return std::move(claim.owner);
    }

    int argc = 1;
    char name[32] = "PlatformInstanceTests";
    char* argv[2] = {name, nullptr};
    QCoreApplication application{argc, argv};
    MainExecutor executor;
    testing::X11TestWorld world{testing::X11TestWorld::Options{.windowManager = false}};
    int requests = 0;
    int losses = 0;
};

TEST_F(DisplayInstanceTest, TheFirstStartOwnsTheSelectionAndAnnouncesItOnTheRoot) {
    x11::XcbConnection& c = world.connection();
    c.selectRootEvents(XCB_EVENT_MASK_STRUCTURE_NOTIFY);
    c.sync(world.soon());
    c.discardEvents();

    const auto first = DisplayInstance::claim(world.display(), applicationId).owner;
    ASSERT_TRUE(first);
    EXPECT_EQ(first->selectionName(), applicationId + "_S0");
    EXPECT_EQ(owner(), first->window());

    const xcb_atom_t manager = atom("MANAGER");
    const xcb_atom_t selection = atom(applicationId + "_S0");
    bool announced = false;
    while (!announced) {
        const x11::Reply<xcb_generic_event_t> event = c.waitForEvent(world.soon());
        ASSERT_TRUE(event) << "no MANAGER message on the root window";
        if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) {
            continue;
        }
        const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(*event);
        if (message.type == manager) {
            EXPECT_EQ(message.window, c.root());
            EXPECT_EQ(message.format, 32);
            EXPECT_NE(message.data.data32[0], 0u) << "a server timestamp, not CurrentTime";
            EXPECT_EQ(message.data.data32[1], selection);
            EXPECT_EQ(message.data.data32[2], first->window());
            announced = true;
        }
    }
}

TEST_F(DisplayInstanceTest, LaterStartsReachTheOwnersHookAndOwnNothing) {
    const auto first = counted(DisplayInstance::claim(world.display(), applicationId));
    ASSERT_TRUE(first);
    // A request that comes before the owner watches waits for it.
    EXPECT_FALSE(DisplayInstance::claim(world.display(), applicationId).owner);
    const auto watch = first->watch(executor);
    EXPECT_TRUE(until([&] { return requests == 1; }));
    EXPECT_FALSE(DisplayInstance::claim(world.display(), applicationId).owner);
    EXPECT_TRUE(until([&] { return requests == 2; }));
    EXPECT_EQ(owner(), first->window());
    EXPECT_EQ(losses, 0);
}

TEST_F(DisplayInstanceTest, StartsAtTheSameMomentLeaveOneOwner) {
    constexpr int starts = 6;
    std::vector<std::future<std::unique_ptr<DisplayInstance>>> claims;
    for (int i = 0; i < starts; ++i) {
        claims.push_back(std::async(std::launch::async, [&] {
            return DisplayInstance::claim(world.display(), applicationId).owner;
        }));
    }
    std::vector<std::unique_ptr<DisplayInstance>> owners;
    for (auto& claim : claims) {
        if (auto made = claim.get()) {
            owners.push_back(std::move(made));
        }
    }
    ASSERT_EQ(owners.size(), 1u);
    EXPECT_EQ(owner(), owners.front()->window());
    const auto one = counted(DisplayInstance::Claim{std::move(owners.front())});
    const auto watch = one->watch(executor);
    EXPECT_TRUE(until([&] { return requests == starts - 1; }));
}

TEST_F(DisplayInstanceTest, TheOwnersWindowGoingAwayFreesTheSelectionForTheNextStart) {
    auto first = DisplayInstance::claim(world.display(), applicationId).owner;
    ASSERT_TRUE(first);
    first.reset();
    EXPECT_EQ(owner(), static_cast<xcb_window_t>(XCB_NONE));
    const auto next = DisplayInstance::claim(world.display(), applicationId).owner;
    ASSERT_TRUE(next);
    EXPECT_EQ(owner(), next->window());
}

TEST_F(DisplayInstanceTest, AProgramThatTakesTheSelectionOverIsReported) {
    const auto first = counted(DisplayInstance::claim(world.display(), applicationId));
    ASSERT_TRUE(first);
    const auto watch = first->watch(executor);
    x11::XcbConnection& c = world.connection();
    const xcb_window_t other = xcb_generate_id(c.raw());
    xcb_create_window(c.raw(), XCB_COPY_FROM_PARENT, other, c.root(), 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, 0, nullptr);
    xcb_set_selection_owner(c.raw(), other, atom(applicationId + "_S0"), XCB_CURRENT_TIME);
    c.sync(world.soon());
    EXPECT_TRUE(until([&] { return losses == 1; }));
    EXPECT_EQ(owner(), other);
    EXPECT_EQ(requests, 0);
}

TEST_F(DisplayInstanceTest, AConversionOfTheSelectionIsRefusedAtOnce) {
    const auto first = DisplayInstance::claim(world.display(), applicationId).owner;
    ASSERT_TRUE(first);
    const auto watch = first->watch(executor);
    x11::XcbConnection& c = world.connection();
    const xcb_window_t requestor = xcb_generate_id(c.raw());
    xcb_create_window(c.raw(), XCB_COPY_FROM_PARENT, requestor, c.root(), 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    c.sync(world.soon());
    c.discardEvents();
    xcb_convert_selection(c.raw(), requestor, atom(applicationId + "_S0"), XCB_ATOM_STRING, atom("RESULT"),
                          XCB_CURRENT_TIME);
    xcb_flush(c.raw());
    std::optional<xcb_selection_notify_event_t> answer;
    EXPECT_TRUE(until([&] {
        while (const x11::Reply<xcb_generic_event_t> event = c.waitForEvent(x11::Clock::now())) {
            if ((event->response_type & 0x7f) == XCB_SELECTION_NOTIFY) {
                answer = reinterpret_cast<const xcb_selection_notify_event_t&>(*event);
            }
        }
        return answer.has_value();
    }));
    ASSERT_TRUE(answer);
    EXPECT_EQ(answer->requestor, requestor);
    EXPECT_EQ(answer->property, static_cast<xcb_atom_t>(XCB_NONE));
}

} // namespace
} // namespace platform
