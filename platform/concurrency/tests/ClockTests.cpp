#include "platform/concurrency/Clock.hpp"

#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/concurrency/ManualClock.hpp"
#include "platform/concurrency/ManualExecutor.hpp"

namespace platform {
namespace {

using namespace std::chrono_literals;

ContinuousInstant boottime() {
    timespec reading{};
    clock_gettime(CLOCK_BOOTTIME, &reading);
    return ContinuousInstant{std::chrono::seconds{reading.tv_sec} +
                             std::chrono::nanoseconds{reading.tv_nsec}};
}

TEST(ContinuousClock, ReadsTheBootClock) {
    const auto before = boottime();
    const auto now = ContinuousClock::now();
    const auto after = boottime();
    EXPECT_LE(before, now);
    EXPECT_LE(now, after);
}

class ManualClockTest : public ::testing::Test {
protected:
    ManualExecutor executor;
    ManualClock clock{executor};
    const ContinuousInstant start = clock.now();
};

TEST_F(ManualClockTest, AdvanceWakesDueSleepsInInstantOrderTiesInOrderOfCreation) {
    struct Sleeper {
        std::string name;
        ContinuousDuration delay;
    };
    const std::vector<Sleeper> sleepers = {
        {"late", 5s}, {"tie-first", 2s}, {"early", 1s}, {"tie-second", 2s}, {"edge", 3s},
    };
    std::vector<std::pair<std::string, ContinuousDuration>> woken;
    for (const auto& sleeper : sleepers) {
        spawn(executor, [&, sleeper]() -> Async<> {
            co_await sleepFor(clock, sleeper.delay);
            woken.emplace_back(sleeper.name, clock.now() - start);
        });
    }
    executor.runUntilIdle();

    clock.advance(3s);
    const std::vector<std::pair<std::string, ContinuousDuration>> expected = {
        {"early", 1s}, {"tie-first", 2s}, {"tie-second", 2s}, {"edge", 3s}};
    EXPECT_EQ(woken, expected);
    EXPECT_EQ(clock.now(), start + 3s);
    EXPECT_EQ(clock.pendingTimers(), 1u);
}

TEST_F(ManualClockTest, SleepsStartedByWokenTasksFireWithinTheSameAdvance) {
    std::vector<ContinuousDuration> attempts;
    spawn(executor, [&]() -> Async<> {
        for (const ContinuousDuration delay : {1s, 3s, 10s}) {
            co_await sleepFor(clock, delay);
            attempts.push_back(clock.now() - start);
        }
    });
    executor.runUntilIdle();

    clock.advance(13s);
    EXPECT_EQ(attempts, (std::vector<ContinuousDuration>{1s, 4s}));
    clock.advance(1s);
    EXPECT_EQ(attempts, (std::vector<ContinuousDuration>{1s, 4s, 14s}));
}

TEST_F(ManualClockTest, CancelledSleepEndsEarlyThroughTheExecutor) {
    const auto testThread = std::this_thread::get_id();
    for (const bool fromAnotherThread : {false, true}) {
        SCOPED_TRACE(fromAnotherThread ? "cancelled from another thread" : "cancelled here");
        std::string ending;
        auto task = spawn(executor, [&]() -> Async<> {
            try {
                co_await sleepFor(clock, 1h);
                ending = "elapsed";
            } catch (const CancellationError&) {
                ending = "cancelled at " + std::to_string((clock.now() - start) / 1s) + " s";
            }
            ending += std::this_thread::get_id() == testThread ? "" : " elsewhere";
        });
        executor.runUntilIdle();
        clock.advance(1s);

        if (fromAnotherThread) {
            std::thread([task] { task.cancel(); }).join();
        } else {
            task.cancel();
        }
        EXPECT_EQ(ending, ""); // the cancellation posts the resumption, it never resumes inline
        executor.runUntilIdle();
        EXPECT_EQ(ending, "cancelled at " + std::to_string((clock.now() - start) / 1s) + " s");
        EXPECT_EQ(clock.pendingTimers(), 0u);
    }
}

TEST_F(ManualClockTest, WorkQueuedBeforeAnAdvanceHappensBeforeTheClockMoves) {
    // A cancellation, and a task spawned, before the advance belong to the instant they came at:
    // the live loop would handle them long before a timer of the advance is due.
    std::vector<std::string> endings;
    auto sleepRecording = [&](ContinuousDuration delay) {
        return [&, delay]() -> Async<> {
            std::string ending = "elapsed";
            try {
                co_await sleepFor(clock, delay);
            } catch (const CancellationError&) {
                ending = "cancelled";
            }
            endings.push_back(ending + " at " + std::to_string((clock.now() - start) / 1s) + " s");
        };
    };
    auto cancelled = spawn(executor, sleepRecording(1h));
    executor.runUntilIdle();
    cancelled.cancel();
    spawn(executor, sleepRecording(1s));

    clock.advance(2h);
    EXPECT_EQ(endings, (std::vector<std::string>{"cancelled at 0 s", "elapsed at 1 s"}));
    EXPECT_EQ(clock.pendingTimers(), 0u);
}

TEST_F(ManualClockTest, SleepOfACancelledTaskThrowsWithoutWaiting) {
    bool cancelled = false;
    auto task = spawn(executor, [&]() -> Async<> {
        try {
            co_await sleepFor(clock, 1s);
        } catch (const CancellationError&) {
            cancelled = true;
        }
    });
    task.cancel();
    executor.runUntilIdle();
    EXPECT_TRUE(cancelled);
    EXPECT_EQ(clock.pendingTimers(), 0u);
}

TEST_F(ManualClockTest, SleepToAPassedInstantResumesOnTheNextTurn) {
    int resumed = 0;
    spawn(executor, [&]() -> Async<> {
        co_await sleepFor(clock, 0s);
        ++resumed;
        co_await sleepUntil(clock, start - 1s);
        ++resumed;
    });
    EXPECT_EQ(executor.runUntilIdle(), 3u);
    EXPECT_EQ(resumed, 2);
    EXPECT_EQ(clock.now(), start);
}

TEST(ManualClock, DestroyedWithASleepPendingReleasesTheTask) {
    ManualExecutor executor;
    auto frameAlive = std::make_shared<int>(0);
    std::weak_ptr<int> probe = frameAlive;
    {
        ManualClock clock(executor);
        spawn(executor,
              [&clock, alive = std::move(frameAlive)]() -> Async<> { co_await sleepFor(clock, 1s); });
        executor.runUntilIdle();
        EXPECT_FALSE(probe.expired());
    }
    EXPECT_TRUE(probe.expired());
}

} // namespace
} // namespace platform
