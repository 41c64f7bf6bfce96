#include "platform/concurrency/Continuation.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>

#include "platform/concurrency/ManualExecutor.hpp"

namespace platform {
namespace {

using namespace std::chrono_literals;

TEST(Continuation, ResumedFromAnotherThreadTheTaskContinuesOnItsExecutor) {
    ManualExecutor executor;
    const auto mainThread = std::this_thread::get_id();
    std::optional<Continuation<int>> waiter;
    std::optional<std::string> seen;
    spawn(executor, [&]() -> Async<> {
        const int value = co_await withContinuation<int>(
            "test wait", [&](Continuation<int> continuation) { waiter = continuation; });
        seen = std::to_string(value) + (std::this_thread::get_id() == mainThread ? " on main" : "");
    });
    executor.runUntilIdle();
    ASSERT_TRUE(waiter.has_value());

    std::thread resumer([continuation = *waiter] { continuation.resume(12); });
    resumer.join();
    EXPECT_FALSE(seen.has_value());
    ASSERT_TRUE(executor.runUntil([&] { return seen.has_value(); }, 10s));
    EXPECT_EQ(seen, "12 on main");
}

TEST(Continuation, ResumedAtOnceOrWithAnErrorTheTaskResumesOnALaterTurn) {
    ManualExecutor executor;
    std::vector<std::string> log;
    spawn(executor, [&]() -> Async<> {
        co_await withContinuation("at once", [&](Continuation<> continuation) {
            continuation.resume();
            log.push_back("resumed");
        });
        log.push_back("continued");
        try {
            co_await withContinuation<bool>("failing", [](Continuation<bool> continuation) {
                continuation.resumeThrowing(std::runtime_error("refused"));
            });
        } catch (const std::runtime_error& error) {
            log.push_back(error.what());
        }
    });
    EXPECT_EQ(executor.runUntilIdle(), 3u);
    EXPECT_EQ(log, (std::vector<std::string>{"resumed", "continued", "refused"}));
}

TEST(ContinuationDeathTest, ASecondResumeAborts) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            ManualExecutor executor;
            spawn(executor, [&]() -> Async<> {
                co_await withContinuation<bool>("wait(for:upTo:)", [](Continuation<bool> continuation) {
                    continuation.resume(true);
                    continuation.resume(false);
                });
            });
            executor.runUntilIdle();
        },
        "continuation wait\\(for:upTo:\\) resumed twice");
}

TEST(Continuation, DroppedWithoutAResumeReleasesItsTask) {
    ManualExecutor executor;
    auto captured = std::make_shared<int>(0);
    std::weak_ptr<int> probe = captured;
    std::optional<Continuation<>> waiter;
    spawn(executor, [&waiter, alive = std::move(captured)]() -> Async<> {
        co_await withContinuation("abandoned", [&](Continuation<> continuation) { waiter = continuation; });
    });
    executor.runUntilIdle();
    EXPECT_FALSE(probe.expired());
    waiter.reset();
    executor.runUntilIdle();
    EXPECT_TRUE(probe.expired());
}

TEST(Continuation, AnExecutorDestroyedWithJobsPendingReleasesEveryTaskTheyHeld) {
    // Dropping a job drops a continuation, whose task is handed back to the executor to end;
    // ending that task drops a continuation of another one, handed back in turn.
    auto executor = std::make_unique<ManualExecutor>();
    auto captured = std::make_shared<int>(0);
    std::weak_ptr<int> probe = captured;
    std::optional<Continuation<>> inner;
    std::optional<Continuation<>> outer;
    spawn(*executor, [&inner, alive = std::move(captured)]() -> Async<> {
        co_await withContinuation("inner", [&](Continuation<> continuation) { inner = continuation; });
    });
    executor->runUntilIdle();
    spawn(*executor, [&]() -> Async<> {
        const Continuation<> held = *std::exchange(inner, std::nullopt);
        co_await withContinuation("outer", [&](Continuation<> continuation) { outer = continuation; });
        held.resume();
    });
    executor->runUntilIdle();
    executor->post([continuation = *std::exchange(outer, std::nullopt)] { continuation.resume(); });

    EXPECT_FALSE(probe.expired());
    executor.reset();
    EXPECT_TRUE(probe.expired());
}

} // namespace
} // namespace platform
