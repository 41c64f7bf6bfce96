// The permission and its trust notices on a private X display: openbox stops, crashes and starts
// again while the live service, notices and backend follow it on a real event loop.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>

#include <gtest/gtest.h>

#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"
#include "platform/accessibility/x11/X11TrustNoticeCenter.hpp"
#include "platform/concurrency/LiveClock.hpp"
#include "platform/concurrency/MainExecutor.hpp"
#include "platform/concurrency/ThreadPool.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/shell/AccessibilityTrustNotices.hpp"
#include "tidewright/shell/PermissionService.hpp"
#include "tidewright/shell/SystemPermissionBackend.hpp"

namespace tidewright {
namespace {

using namespace std::chrono_literals;
using platform::ContinuousClock;
using platform::ContinuousInstant;

class LivePermissionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "TidewrightShellLiveTests";
        static char* argv[] = {name, nullptr};
        application = new QCoreApplication(argc, argv);
    }
    static void TearDownTestSuite() {
        delete application;
        application = nullptr;
    }

    void SetUp() override {
        service->onChange = [this] {
            states.push_back(state());
        };
        // A second observer of the centre, to see the notices themselves.
        noticeObserver = center->addObserver([this] { noticed.push_back(ContinuousClock::now()); });
        notices.start([this] {
            handled.push_back(ContinuousClock::now());
            service->refresh();
        });
    }
    void TearDown() override {
        notices.stop();
        center->removeObserver(noticeObserver);
        service->stop();
    }

    // Runs the event loop until done holds; the limit only ends a failing test.
    bool until(const std::function<bool()>& done) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 15000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        return done();
    }

    PermissionState state() const { return service->permissions().moveWindows; }

    // Each notice calls the handler once, in order, a quarter of a second or more after it.
    void expectEveryNoticeHandledAfterItsPause() {
        ASSERT_TRUE(until([&] { return handled.size() == noticed.size(); }));
        for (std::size_t i = 0; i < noticed.size(); ++i) {
            EXPECT_GE(handled[i] - noticed[i], AccessibilityTrustNotices::delay) << i;
        }
    }

    static inline QCoreApplication* application = nullptr;
    platform::testing::X11TestWorld world;
    platform::MainExecutor executor;
    platform::LiveClock clock;
    platform::ThreadPool pool{1, "permission-test"};
    std::shared_ptr<platform::X11TrustNoticeCenter> center =
        std::make_shared<platform::X11TrustNoticeCenter>(world.display(), executor);
    std::shared_ptr<PermissionService> service = PermissionService::make(
        std::make_shared<SystemPermissionBackend>(
            std::make_shared<platform::X11AccessibilityBackend>(world.display()), pool),
        executor);
    AccessibilityTrustNotices notices{center, executor, clock};
    platform::TrustNoticeCenter::ObserverID noticeObserver = 0;
    std::vector<ContinuousInstant> noticed;
    std::vector<ContinuousInstant> handled;
    std::vector<PermissionState> states;
};

TEST_F(LivePermissionTest, FollowsTheWindowManagerAsItStopsCrashesAndStartsAgain) {
    service->refresh();
    ASSERT_TRUE(until([&] { return state() == PermissionState::granted && center->listening(); }));

    world.stopWindowManager();
    ASSERT_TRUE(until([&] { return !noticed.empty() && state() == PermissionState::denied; }));

    std::size_t seen = noticed.size();
    world.startWindowManager();
    ASSERT_TRUE(until([&] { return noticed.size() > seen && state() == PermissionState::granted; }));

    // A crash leaves the root naming a check window that is gone: its end is the notice.
    seen = noticed.size();
    world.killWindowManager();
    ASSERT_TRUE(until([&] { return noticed.size() > seen && state() == PermissionState::denied; }));

    seen = noticed.size();
    world.startWindowManager();
    ASSERT_TRUE(until([&] { return noticed.size() > seen && state() == PermissionState::granted; }));
    expectEveryNoticeHandledAfterItsPause();
    // Every read gave one of the two answers.
    for (PermissionState read : states) {
        EXPECT_NE(read, PermissionState::unknown);
    }
}

TEST_F(LivePermissionTest, WithoutAWindowManagerThePermissionIsDeniedAndTheLastObserverStopsTheReader) {
    world.stopWindowManager();
    service->refresh();
    ASSERT_TRUE(until([&] { return state() == PermissionState::denied && center->listening(); }));

    notices.stop();
    EXPECT_TRUE(center->listening()); // one observer is left
    center->removeObserver(noticeObserver);
    EXPECT_FALSE(center->listening());

    world.startWindowManager();
    service->refresh();
    ASSERT_TRUE(until([&] { return state() == PermissionState::granted; }));
}

} // namespace
} // namespace tidewright
