#include "platform/concurrency/WorkQueue.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <numeric>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/concurrency/LiveSerialQueue.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/concurrency/ManualSerialQueue.hpp"
#include "platform/concurrency/ThreadPool.hpp"

namespace platform {
namespace {

using namespace std::chrono_literals;

// A typed failure, as the window operations throw them.
struct JobFailure {
    int code;
};

TEST(ManualSerialQueue, StepsRunJobsInOrderAndResultsComeBackThroughTheExecutor) {
    ManualExecutor executor;
    ManualSerialQueue queue;
    std::vector<std::string> log;
    spawn(executor, [&]() -> Async<> {
        log.push_back("value " + std::to_string(co_await queue.run([&] {
                          log.push_back("job 1");
                          return 41;
                      })));
    });
    spawn(executor, [&]() -> Async<> {
        try {
            co_await queue.run([&] {
                log.push_back("job 2");
                throw JobFailure{-25204};
            });
        } catch (const JobFailure& failure) {
            log.push_back("failure " + std::to_string(failure.code));
        }
    });
    executor.runUntilIdle();
    EXPECT_EQ(queue.pendingJobs(), 2u);

    ASSERT_TRUE(queue.step());
    EXPECT_EQ(log, (std::vector<std::string>{"job 1"})); // the task waits for its executor
    ASSERT_TRUE(queue.step());
    EXPECT_FALSE(queue.step());
    executor.runUntilIdle();
    EXPECT_EQ(log, (std::vector<std::string>{"job 1", "job 2", "value 41", "failure -25204"}));
}

TEST(ManualSerialQueue, TheAwaitersCancellationDoesNotCutTheJobShort) {
    ManualExecutor executor;
    ManualSerialQueue queue;
    std::string seen;
    auto task = spawn(executor, [&]() -> Async<> {
        const int value = co_await queue.run([] { return 5; });
        seen = std::to_string(value) + (isCancelled() ? " cancelled" : "");
    });
    executor.runUntilIdle();
    task.cancel();
    executor.runUntilIdle();
    EXPECT_EQ(seen, "");
    queue.step();
    executor.runUntilIdle();
    EXPECT_EQ(seen, "5 cancelled");
}

TEST(LiveSerialQueue, JobsRunOneAtATimeInSubmissionOrderAndResumeOnTheExecutorThread) {
    ManualExecutor executor;
    LiveSerialQueue queue("test-serial");
    const auto mainThread = std::this_thread::get_id();
    constexpr int jobs = 24;

    std::atomic<int> inFlight = 0;
    std::atomic<int> overlaps = 0;
    std::vector<int> order; // touched only by jobs: a second thread would race here
    std::set<std::thread::id> workers;
    int resumed = 0;
    int resumedElsewhere = 0;
    for (int index = 0; index < jobs; ++index) {
        spawn(executor, [&, index]() -> Async<> {
            const auto worker = co_await queue.run([&, index] {
                if (inFlight.fetch_add(1) != 0) {
                    ++overlaps;
                }
                order.push_back(index);
                inFlight.fetch_sub(1);
                return std::this_thread::get_id();
            });
            workers.insert(worker);
            resumedElsewhere += std::this_thread::get_id() != mainThread ? 1 : 0;
            ++resumed;
        });
    }
    ASSERT_TRUE(executor.runUntil([&] { return resumed == jobs; }, 10s));

    std::vector<int> expected(jobs);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(order, expected);
    EXPECT_EQ(overlaps, 0);
    EXPECT_EQ(resumedElsewhere, 0);
    ASSERT_EQ(workers.size(), 1u);
    EXPECT_NE(*workers.begin(), mainThread);
}

TEST(ThreadPool, DetachedWorkResumesOnTheExecutorThreadWithItsValueOrError) {
    ManualExecutor executor;
    ThreadPool pool(3);
    const auto mainThread = std::this_thread::get_id();
    std::vector<std::string> outcomes;
    int resumedElsewhere = 0;
    for (const int code : {0, -25211, 0, -25205}) {
        spawn(executor, [&, code]() -> Async<> {
            try {
                const auto worker = co_await pool.run([code] {
                    if (code != 0) {
                        throw JobFailure{code};
                    }
                    return std::this_thread::get_id();
                });
                outcomes.push_back(worker != mainThread ? "worker" : "main");
            } catch (const JobFailure& failure) {
                outcomes.push_back(std::to_string(failure.code));
            }
            resumedElsewhere += std::this_thread::get_id() != mainThread ? 1 : 0;
        });
    }
    ASSERT_TRUE(executor.runUntil([&] { return outcomes.size() == 4; }, 10s));
    std::sort(outcomes.begin(), outcomes.end());
    EXPECT_EQ(outcomes, (std::vector<std::string>{"-25205", "-25211", "worker", "worker"}));
    EXPECT_EQ(resumedElsewhere, 0);
}

} // namespace
} // namespace platform
