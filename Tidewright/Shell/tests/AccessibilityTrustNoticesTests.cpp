// The trust notices over a scripted notice centre, with the manual executor and clock.

#include "tidewright/shell/AccessibilityTrustNotices.hpp"

#include <gtest/gtest.h>

#include "platform/accessibility/ScriptedTrustNoticeCenter.hpp"
#include "platform/concurrency/ManualClock.hpp"
#include "platform/concurrency/ManualExecutor.hpp"

namespace tidewright {
namespace {

using namespace std::chrono_literals;

class AccessibilityTrustNoticesTest : public ::testing::Test {
protected:
    platform::ManualExecutor executor;
    platform::ManualClock clock{executor};
    std::shared_ptr<platform::ScriptedTrustNoticeCenter> center =
        std::make_shared<platform::ScriptedTrustNoticeCenter>();
    std::optional<AccessibilityTrustNotices> notices{std::in_place, center, executor, clock};
    std::vector<platform::ContinuousInstant> calls;
    std::function<void()> handler = [this] {
        calls.push_back(clock.now());
    };
};

TEST_F(AccessibilityTrustNoticesTest, EachNoticeCallsTheHandlerOnceAQuarterSecondLater) {
    notices->start(handler);
    const auto noticed = clock.now();
    for (int i = 0; i < 5; ++i) {
        center->post();
    }
    clock.advance(249ms);
    EXPECT_TRUE(calls.empty());
    clock.advance(1ms);
    EXPECT_EQ(calls, std::vector<platform::ContinuousInstant>(5, noticed + 250ms));

    // A later notice is timed from its own arrival.
    clock.advance(100ms);
    center->post();
    clock.advance(250ms);
    ASSERT_EQ(calls.size(), 6U);
    EXPECT_EQ(calls.back(), noticed + 600ms);
}

TEST_F(AccessibilityTrustNoticesTest, StartingTwiceObservesOnce) {
    notices->start(handler);
    notices->start(handler);
    EXPECT_EQ(center->observerCount(), 1U);
    center->post();
    clock.advance(250ms);
    EXPECT_EQ(calls.size(), 1U);
}

TEST_F(AccessibilityTrustNoticesTest, StopEndsListeningButNotThePausesUnderWay) {
    notices->start(handler);
    center->post();
    executor.runUntilIdle(); // the pause has begun
    notices->stop();
    EXPECT_EQ(center->observerCount(), 0U);
    center->post(); // no longer heard
    clock.advance(1s);
    EXPECT_EQ(calls.size(), 1U);

    notices->start(handler); // and it can listen again
    center->post();
    notices.reset(); // destroying stops as well
    EXPECT_EQ(center->observerCount(), 0U);
    clock.advance(1s);
    EXPECT_EQ(calls.size(), 2U);
}

} // namespace
} // namespace tidewright
