#include "tidewright/windowcontrol/AccessibilityWindowSignal.hpp"

#include "platform/accessibility/ScriptedAccessibilityObservers.hpp"
#include "platform/concurrency/ManualClock.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/concurrency/ManualSerialQueue.hpp"

#include <chrono>
#include <memory>
#include <optional>

#include <gtest/gtest.h>

namespace tidewright {
namespace {

using platform::AXError;
using std::chrono::milliseconds;
using std::chrono::nanoseconds;

constexpr std::int32_t pidA = 101;
constexpr std::int32_t pidB = 202;
constexpr milliseconds limit{1000};

class AccessibilityWindowSignalTest : public ::testing::Test {
protected:
    // A wait in a task of its own; its answer lands in the returned slot.
    struct Waiting {
        platform::Task<> task;
        std::shared_ptr<std::optional<bool>> answer;
    };

    Waiting startWait(std::int32_t pid, ContinuousDuration upTo = limit) {
        auto answer = std::make_shared<std::optional<bool>>();
        auto task = platform::spawn(executor, [signal = signal, pid, upTo, answer]() -> platform::Async<> {
            *answer = co_await signal->wait(pid, upTo);
        });
        return {task, answer};
    }

    // Runs the registration on the pool and applies it on the main executor.
    void registerObservers() {
        executor.runUntilIdle();
        while (pool.step())
            executor.runUntilIdle();
    }

    // A wait still pending holds its task, which holds the signal: end it.
    void TearDown() override {
        if (signal)
            signal->cancel();
        executor.runUntilIdle();
    }

    std::shared_ptr<platform::ScriptedAXObserver> observer(std::size_t index) const {
        return observers->observers().at(index);
    }

    platform::ManualExecutor executor;
    platform::ManualClock clock{executor};
    platform::ManualSerialQueue pool;
    std::shared_ptr<platform::ScriptedAccessibilityObservers> observers =
        std::make_shared<platform::ScriptedAccessibilityObservers>();
    std::shared_ptr<AccessibilityWindowSignal> signal =
        AccessibilityWindowSignal::create(observers, executor, pool, clock);
};

TEST_F(AccessibilityWindowSignalTest, RegistersOneObserverForTheWindowCreatedNotificationWithItsOwnTimeout) {
    Waiting first = startWait(pidA);
    registerObservers();
    ASSERT_EQ(observers->observers().size(), 1U);
    EXPECT_EQ(observer(0)->pid(), pidA);
    EXPECT_TRUE(observer(0)->attached());
    EXPECT_EQ(observer(0)->notifications(), std::vector<std::string>{"AXWindowCreated"});
    EXPECT_EQ(observer(0)->addedWithTimeout(), 0.25F);

    EXPECT_EQ(observers->post(pidA), 1U);
    executor.runUntilIdle();
    EXPECT_EQ(*first.answer, true);

    // A later wait for the same process keeps the observer.
    Waiting second = startWait(pidA);
    registerObservers();
    EXPECT_EQ(observers->observers().size(), 1U);
    EXPECT_FALSE(second.answer->has_value());
}

TEST_F(AccessibilityWindowSignalTest, ANotificationBeforeAnyWaitAnswersTheNextWaitAtOnceAndOnlyOnce) {
    Waiting first = startWait(pidA);
    registerObservers();
    clock.advance(limit);
    ASSERT_EQ(*first.answer, false);

    observers->post(pidA);
    Waiting second = startWait(pidA);
    executor.runUntilIdle();
    EXPECT_EQ(*second.answer, true);
    EXPECT_EQ(clock.pendingTimers(), 0U);

    Waiting third = startWait(pidA);
    executor.runUntilIdle();
    EXPECT_FALSE(third.answer->has_value());
}

TEST_F(AccessibilityWindowSignalTest, SwitchingProcessDetachesTheOldObserverAndIgnoresItsLateCallbacks) {
    Waiting forA = startWait(pidA);
    registerObservers();
    Waiting forB = startWait(pidB);
    executor.runUntilIdle();
    EXPECT_EQ(*forA.answer, false);
    EXPECT_FALSE(observer(0)->attached());
    registerObservers();
    ASSERT_EQ(observers->observers().size(), 2U);
    EXPECT_EQ(observer(1)->pid(), pidB);

    // A callback of A's observer that was already on its way resolves nothing.
    observer(0)->deliver(platform::windowCreatedNotification);
    executor.runUntilIdle();
    EXPECT_FALSE(forB.answer->has_value());
    observers->post(pidB);
    executor.runUntilIdle();
    EXPECT_EQ(*forB.answer, true);
}

TEST_F(AccessibilityWindowSignalTest, ASecondWaitEndsTheFirstWithFalse) {
    Waiting first = startWait(pidA);
    registerObservers();
    Waiting second = startWait(pidA);
    executor.runUntilIdle();
    EXPECT_EQ(*first.answer, false);
    EXPECT_FALSE(second.answer->has_value());
    // The first wait's limit no longer counts: only the second's.
    clock.advance(limit - nanoseconds(1));
    EXPECT_FALSE(second.answer->has_value());
    observers->post(pidA);
    executor.runUntilIdle();
    EXPECT_EQ(*second.answer, true);
}

TEST_F(AccessibilityWindowSignalTest, TheLimitEndsTheWaitExactlyWhenItPasses) {
    Waiting waiting = startWait(pidA, milliseconds(250));
    registerObservers();
    clock.advance(milliseconds(250) - nanoseconds(1));
    EXPECT_FALSE(waiting.answer->has_value());
    clock.advance(nanoseconds(1));
    EXPECT_EQ(*waiting.answer, false);
}

TEST_F(AccessibilityWindowSignalTest,
       CancelAndTaskCancellationEndTheWaitAndALateRegistrationInstallsNothing) {
    enum class Ending { cancelSignal, cancelTask };
    for (Ending ending : {Ending::cancelSignal, Ending::cancelTask}) {
        SCOPED_TRACE(ending == Ending::cancelSignal ? "cancel()" : "task cancelled");
        platform::ManualExecutor main;
        platform::ManualClock time{main};
        platform::ManualSerialQueue work;
        auto scripted = std::make_shared<platform::ScriptedAccessibilityObservers>();
        auto made = AccessibilityWindowSignal::create(scripted, main, work, time);
        auto answer = std::make_shared<std::optional<bool>>();
        auto task = platform::spawn(
            main, [made, answer]() -> platform::Async<> { *answer = co_await made->wait(pidA, limit); });
        main.runUntilIdle();
        ASSERT_EQ(work.pendingJobs(), 1U); // the registration has not finished

        if (ending == Ending::cancelSignal)
            made->cancel();
        else
            task.cancel();
        main.runUntilIdle();
        EXPECT_EQ(*answer, false);

        work.step();
        main.runUntilIdle();
        ASSERT_EQ(scripted->observers().size(), 1U);
        if (ending == Ending::cancelSignal) {
            EXPECT_FALSE(scripted->observers()[0]->attached());
        } else {
            // The process is still watched: only the wait ended.
            EXPECT_TRUE(scripted->observers()[0]->attached());
        }
        EXPECT_EQ(time.pendingTimers(), 0U);
    }
}

TEST_F(AccessibilityWindowSignalTest, AFailedRegistrationIsTriedAgainByTheNextWait) {
    for (bool failCreate : {true, false}) {
        SCOPED_TRACE(failCreate ? "observer not made" : "notification not added");
        platform::ManualExecutor main;
        platform::ManualClock time{main};
        platform::ManualSerialQueue work;
        auto scripted = std::make_shared<platform::ScriptedAccessibilityObservers>();
        auto made = AccessibilityWindowSignal::create(scripted, main, work, time);
        if (failCreate)
            scripted->setCreateResult(AXError::cannotComplete);
        else
            scripted->setAddResult(AXError::cannotComplete);

        auto answer = std::make_shared<std::optional<bool>>();
        platform::spawn(
            main, [made, answer]() -> platform::Async<> { *answer = co_await made->wait(pidA, limit); });
        main.runUntilIdle();
        work.step();
        main.runUntilIdle();
        EXPECT_EQ(scripted->post(pidA), 0U);
        time.advance(limit);
        EXPECT_EQ(*answer, false);

        scripted->setCreateResult(AXError::success);
        scripted->setAddResult(AXError::success);
        answer->reset();
        platform::spawn(
            main, [made, answer]() -> platform::Async<> { *answer = co_await made->wait(pidA, limit); });
        main.runUntilIdle();
        ASSERT_EQ(work.pendingJobs(), 1U);
        work.step();
        main.runUntilIdle();
        EXPECT_EQ(scripted->post(pidA), 1U);
        main.runUntilIdle();
        EXPECT_EQ(*answer, true);
    }
}

TEST(AccessibilityWindowSignalRaceTest, AFiredTimerOfAReplacedWaitLeavesTheNewerWaitPending) {
    // The clock fires its timers into a queue of its own, so the test decides what runs between a
    // timer firing and the timeout task resuming.
    platform::ManualExecutor main;
    platform::ManualExecutor timers;
    platform::ManualClock time{timers};
    platform::ManualSerialQueue work;
    auto scripted = std::make_shared<platform::ScriptedAccessibilityObservers>();
    auto made = AccessibilityWindowSignal::create(scripted, main, work, time);
    auto waitFor = [&](milliseconds upTo) {
        auto answer = std::make_shared<std::optional<bool>>();
        platform::spawn(
            main, [made, answer, upTo]() -> platform::Async<> { *answer = co_await made->wait(pidA, upTo); });
        return answer;
    };

    auto first = waitFor(milliseconds(100));
    main.runUntilIdle();
    work.step();
    main.runUntilIdle();

    auto second = waitFor(milliseconds(500)); // queued: it starts on the next turn
    time.advance(milliseconds(100));          // the first wait's timer fires now
    main.runUntilIdle(); // the second wait replaces the first, then the first's timeout task resumes
    EXPECT_EQ(*first, false);
    EXPECT_FALSE(second->has_value());

    // Its limit counts from its own start, when the clock stood at the first wait's end.
    time.advance(milliseconds(500) - nanoseconds(1));
    main.runUntilIdle();
    EXPECT_FALSE(second->has_value());
    time.advance(nanoseconds(1));
    main.runUntilIdle();
    EXPECT_EQ(*second, false);
}

TEST(AccessibilityWindowSignalRaceTest, ACancellationHandlerOfAReplacedWaitLeavesTheNewerWaitPending) {
    platform::ManualExecutor main;
    platform::ManualClock time{main};
    platform::ManualSerialQueue work;
    auto scripted = std::make_shared<platform::ScriptedAccessibilityObservers>();
    auto made = AccessibilityWindowSignal::create(scripted, main, work, time);
    auto first = std::make_shared<std::optional<bool>>();
    auto second = std::make_shared<std::optional<bool>>();
    auto firstTask = platform::spawn(
        main, [made, first]() -> platform::Async<> { *first = co_await made->wait(pidA, limit); });
    main.runUntilIdle();
    work.step();
    main.runUntilIdle();

    // The second wait starts, then the first's task is cancelled: its handler's posted job comes
    // after the second wait is in place.
    platform::spawn(main,
                    [made, second]() -> platform::Async<> { *second = co_await made->wait(pidA, limit); });
    main.runUntilIdle();
    EXPECT_EQ(*first, false);
    firstTask.cancel();
    main.runUntilIdle();
    EXPECT_FALSE(second->has_value());
    scripted->post(pidA);
    main.runUntilIdle();
    EXPECT_EQ(*second, true);
}

TEST_F(AccessibilityWindowSignalTest, DestroyingTheSignalEndsThePendingWaitAndDetaches) {
    auto answer = std::make_shared<std::optional<bool>>();
    platform::spawn(executor, [waiting = signal.get(), answer]() -> platform::Async<> {
        *answer = co_await waiting->wait(pidA, limit);
    });
    registerObservers();
    signal.reset();
    executor.runUntilIdle();
    EXPECT_EQ(*answer, false);
    EXPECT_FALSE(observer(0)->attached());
    EXPECT_EQ(observers->post(pidA), 0U);
}

} // namespace
} // namespace tidewright
