#include "platform/concurrency/Task.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/concurrency/Clock.hpp"
#include "platform/concurrency/Continuation.hpp"
#include "platform/concurrency/ManualClock.hpp"
#include "platform/concurrency/ManualExecutor.hpp"

namespace platform {
namespace {

using namespace std::chrono_literals;

class TaskTest : public ::testing::Test {
protected:
    ManualExecutor executor;
    ManualClock clock{executor};
};

TEST_F(TaskTest, SpawnedBodyStartsOnALaterTurnAfterTheHandleIsStored) {
    std::optional<Task<int>> stored;
    bool handleWasStored = false;
    stored = spawn(executor, [&]() -> Async<int> {
        handleWasStored = stored.has_value();
        co_return 7;
    });
    EXPECT_FALSE(handleWasStored);
    EXPECT_EQ(executor.pendingJobs(), 1u);

    int joined = 0;
    spawn(executor, [&]() -> Async<> { joined = co_await *stored; });
    executor.runUntilIdle();
    EXPECT_TRUE(handleWasStored);
    EXPECT_EQ(joined, 7);
}

TEST_F(TaskTest, EveryAwaiterGetsTheValueOrTheError) {
    for (const bool fails : {false, true}) {
        SCOPED_TRACE(fails ? "error" : "value");
        auto producer = spawn(executor, [&]() -> Async<std::string> {
            co_await sleepFor(clock, 1s);
            if (fails) {
                throw std::runtime_error("no window");
            }
            co_return "frame";
        });
        std::vector<std::string> seen;
        auto awaitProducer = [&]() -> Async<> {
            try {
                seen.push_back(co_await producer);
            } catch (const std::runtime_error& error) {
                seen.push_back(std::string("error: ") + error.what());
            }
        };
        for (int awaiter = 0; awaiter < 3; ++awaiter) {
            spawn(executor, awaitProducer);
        }
        executor.runUntilIdle();
        EXPECT_TRUE(seen.empty());

        clock.advance(1s);
        const std::string expected = fails ? "error: no window" : "frame";
        EXPECT_EQ(seen, std::vector<std::string>(3, expected));

        // An awaiter that comes after the end still gets the outcome, through the executor.
        spawn(executor, awaitProducer);
        executor.runUntilIdle();
        EXPECT_EQ(seen, std::vector<std::string>(4, expected));
    }
}

TEST_F(TaskTest, AwaitingIsNotCutShortByTheAwaitersCancellationAndDoesNotCancel) {
    auto producer = spawn(executor, [&]() -> Async<int> {
        co_await sleepFor(clock, 2s);
        co_return 3;
    });
    std::optional<int> joined;
    bool awaiterSawCancellation = false;
    auto awaiter = spawn(executor, [&]() -> Async<> {
        joined = co_await producer;
        awaiterSawCancellation = isCancelled();
    });
    executor.runUntilIdle();

    awaiter.cancel();
    clock.advance(1s);
    EXPECT_FALSE(joined.has_value());
    clock.advance(1s);
    EXPECT_EQ(joined, 3);
    EXPECT_TRUE(awaiterSawCancellation);
    EXPECT_FALSE(producer.isCancelled());
}

Async<bool> cancelledHere() {
    co_return isCancelled() && currentStopToken().stop_requested();
}

Async<int> sleepThenCount(Clock& clock, int& steps) {
    ++steps;
    co_await sleepFor(clock, 1s);
    ++steps;
    co_return steps;
}

TEST_F(TaskTest, AsyncFunctionsRunInTheCallersTaskAndSeeItsCancellation) {
    std::vector<bool> seen;
    auto probeTwice = [&]() -> Async<> {
        seen.push_back(co_await cancelledHere());
        seen.push_back(co_await cancelledHere());
    };
    spawn(executor, probeTwice);
    EXPECT_EQ(executor.runUntilIdle(), 1u); // the async functions ran inside the task's one turn
    spawn(executor, probeTwice).cancel();
    executor.runUntilIdle();
    EXPECT_EQ(seen, (std::vector<bool>{false, false, true, true}));

    // A sleep inside an async function ends by the caller's cancellation.
    int steps = 0;
    std::string ending;
    auto sleeper = spawn(executor, [&]() -> Async<> {
        try {
            ending = std::to_string(co_await sleepThenCount(clock, steps));
        } catch (const CancellationError&) {
            ending = "cancelled";
        }
    });
    executor.runUntilIdle();
    sleeper.cancel();
    executor.runUntilIdle();
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(ending, "cancelled");
}

Async<int> one() {
    co_return 1;
}

TEST_F(TaskTest, ALongLoopOfAwaitsThatEndAtOnceKeepsTheStackFlat) {
    // Enough to overflow the stack if each await nested a frame, as compiler transfers do
    // without optimisation.
    constexpr int rounds = 500'000;
    int total = 0;
    spawn(executor, [&]() -> Async<> {
        for (int round = 0; round < rounds; ++round) {
            total += co_await one();
        }
    });
    EXPECT_EQ(executor.runUntilIdle(), 1u);
    EXPECT_EQ(total, rounds);
}

TEST_F(TaskTest, CancellationHandlersRunAtOnceWhenTheTaskIsAlreadyCancelled) {
    for (const bool cancelFirst : {true, false}) {
        SCOPED_TRACE(cancelFirst ? "cancelled before start" : "cancelled while suspended");
        int handlerRuns = 0;
        std::optional<int> runsWhenInstalled;
        auto task = spawn(executor, [&]() -> Async<> {
            std::stop_callback handler(currentStopToken(), [&] { ++handlerRuns; });
            runsWhenInstalled = handlerRuns;
            co_await sleepFor(clock, 1h);
        });
        if (cancelFirst) {
            task.cancel();
        }
        executor.runUntilIdle();
        EXPECT_EQ(runsWhenInstalled, cancelFirst ? 1 : 0);
        if (!cancelFirst) {
            task.cancel();
            EXPECT_EQ(handlerRuns, 1); // in cancel(), while the body itself waits for its turn
            EXPECT_EQ(executor.pendingJobs(), 1u);
            executor.runUntilIdle();
        }
        EXPECT_EQ(handlerRuns, 1);
        EXPECT_EQ(clock.pendingTimers(), 0u);
    }
}

TEST_F(TaskTest, NoExceptionEscapesATaskBody) {
    spawn(executor, []() -> Async<> {
        throw std::logic_error("thrown after the start");
        co_return;
    });
    spawn(executor, []() -> Async<> { throw std::logic_error("thrown before any suspension"); });
    bool later = false;
    spawn(executor, [&]() -> Async<> {
        later = true;
        co_return;
    });
    EXPECT_NO_THROW(executor.runUntilIdle());
    EXPECT_TRUE(later);
}

TEST_F(TaskTest, AnEndedTaskReleasesItsBodyWhileItsHandleIsKept) {
    // Services keep the handle of their last task, and a queued task captures its predecessor's
    // handle: kept bodies would hold every task ever queued alive through those captures.
    auto captured = std::make_shared<int>(0);
    std::weak_ptr<int> probe = captured;
    auto first = spawn(executor, [alive = std::move(captured)]() -> Async<int> { co_return 1; });
    auto last = spawn(executor, [previous = first]() -> Async<int> { co_return co_await previous + 1; });
    executor.runUntilIdle();
    EXPECT_TRUE(probe.expired());

    std::optional<int> joined;
    spawn(executor, [&]() -> Async<> { joined = co_await first + co_await last; });
    executor.runUntilIdle();
    EXPECT_EQ(joined, 3); // the outcome stays with the handle
}

TEST_F(TaskTest, YieldingTasksInterleaveTurnByTurn) {
    std::string order;
    auto twice = [&](char name) {
        return [&order, name]() -> Async<> {
            order += name;
            co_await yield();
            order += name;
        };
    };
    spawn(executor, twice('a'));
    spawn(executor, twice('b'));
    executor.runUntilIdle();
    EXPECT_EQ(order, "abab");
}

TEST_F(TaskTest, UnfinishedTasksCountsEveryTaskUntilItEndsOrIsDropped) {
    const std::size_t before = unfinishedTasks();
    std::optional<Continuation<>> parked;
    auto ends = spawn(executor, []() -> Async<> { co_return; });
    auto throws = spawn(executor, []() -> Async<> { throw std::runtime_error("x"); });
    spawn(executor, [&]() -> Async<> {
        co_await withContinuation<void>("parked", [&](Continuation<> c) { parked = c; });
    });
    EXPECT_EQ(unfinishedTasks(), before + 3) << "queued, not started yet";
    executor.runUntilIdle();
    EXPECT_EQ(unfinishedTasks(), before + 1) << "an error ends a task too";
    // Nothing can resume the parked task once its continuation goes: dropped, it is not waited for.
    parked.reset();
    executor.runUntilIdle();
    EXPECT_EQ(unfinishedTasks(), before);
}

// A service that tasks refer to weakly: gone, it ends them quietly at their next resumption.
struct Counter {
    int ticks = 0;
};

TEST_F(TaskTest, TaskHoldingAServiceWeaklyEndsQuietlyWhenTheServiceIsGone) {
    auto service = std::make_shared<Counter>();
    auto ticker = spawn(executor, [weak = std::weak_ptr(service), this]() -> Async<bool> {
        while (true) {
            co_await sleepFor(clock, 1s);
            auto self = weak.lock();
            if (!self) {
                co_return false;
            }
            ++self->ticks;
        }
    });
    std::optional<bool> ended;
    spawn(executor, [&]() -> Async<> { ended = co_await ticker; });
    executor.runUntilIdle();

    clock.advance(2s);
    EXPECT_EQ(service->ticks, 2);
    service.reset();
    clock.advance(1s);
    EXPECT_EQ(ended, false);
    EXPECT_EQ(clock.pendingTimers(), 0u);
}

} // namespace
} // namespace platform
