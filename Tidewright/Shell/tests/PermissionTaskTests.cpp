// The permission service through the interface the app model drives: the model awaits the
// service's own read.

#include <gtest/gtest.h>

#include <deque>
#include <memory>
#include <optional>

#include "platform/concurrency/Continuation.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "tidewright/shell/PermissionService.hpp"

namespace tidewright {
namespace {

// Reads wait until the test answers them.
class AnsweredBackend final : public PermissionBackend {
public:
    platform::Async<bool> isTrusted() override {
        co_return co_await platform::withContinuation<bool>(
            "test read", [this](platform::Continuation<bool> read) { reads.push_back(read); });
    }
    platform::Async<> requestTrust() override { co_return; }

    void answer(bool trusted) {
        const platform::Continuation<bool> read = reads.front();
        reads.pop_front();
        read.resume(trusted);
    }

    std::deque<platform::Continuation<bool>> reads;
};

struct Fixture {
    Fixture() {
        permissions.onChange = [this] { ++changes; };
    }
    ~Fixture() {
        while (!backend->reads.empty()) {
            backend->answer(false);
        }
        executor.runUntilIdle();
    }

    // Awaits the task the service answers now; ended turns true when it ends.
    void await(bool& ended) {
        std::optional<platform::Task<>> task = permissions.task();
        ASSERT_TRUE(task);
        platform::spawn(executor, [task, flag = &ended]() -> platform::Async<> {
            co_await task->value();
            *flag = true;
        });
        executor.runUntilIdle();
    }

    platform::ManualExecutor executor;
    std::shared_ptr<AnsweredBackend> backend = std::make_shared<AnsweredBackend>();
    std::shared_ptr<PermissionService> service = PermissionService::make(backend, executor);
    PermissionServiceDriving& permissions = *service;
    int changes = 0;
};

TEST(PermissionServiceDriving, TheTaskEndsWithTheReadItFollows) {
    Fixture f;
    EXPECT_FALSE(f.permissions.task());
    f.permissions.refresh();
    EXPECT_EQ(f.permissions.task(), f.permissions.task());
    bool ended = false;
    f.await(ended);
    EXPECT_FALSE(ended);
    ASSERT_EQ(f.backend->reads.size(), 1u);
    f.backend->answer(true);
    f.executor.runUntilIdle();
    EXPECT_TRUE(ended);
    EXPECT_EQ(f.changes, 1);
    EXPECT_EQ(f.permissions.permissions(), WindowPermissions{PermissionState::granted});
    EXPECT_FALSE(f.permissions.task());
}

TEST(PermissionServiceDriving, AReadAskedForDuringAnotherIsANewTask) {
    Fixture f;
    f.permissions.refresh();
    bool firstEnded = false;
    f.await(firstEnded);
    const std::optional<platform::Task<>> first = f.permissions.task();
    f.permissions.refresh();
    f.backend->answer(true);
    f.executor.runUntilIdle();
    EXPECT_TRUE(firstEnded);
    // The service started the second read before it reported the first.
    const std::optional<platform::Task<>> second = f.permissions.task();
    ASSERT_TRUE(second);
    EXPECT_FALSE(*second == *first);
    bool secondEnded = false;
    f.await(secondEnded);
    f.backend->answer(false);
    f.executor.runUntilIdle();
    EXPECT_TRUE(secondEnded);
    EXPECT_EQ(f.changes, 2);
    EXPECT_FALSE(f.permissions.task());
}

// An abandoned read or request is no longer the service's task, and its awaiter resumes once the
// backend call it made returns, with nothing reported.
TEST(PermissionServiceDriving, StoppingOrCancellingTheRequestEndsTheTaskWithoutAReport) {
    for (const bool cancel : {false, true}) {
        Fixture f;
        if (cancel) {
            f.service->request(PermissionRequestOwner::welcome);
        } else {
            f.permissions.refresh();
        }
        bool ended = false;
        f.await(ended);
        if (cancel) {
            // Another owner's cancellation leaves the request alone.
            f.permissions.cancelRequest(PermissionServiceDriving::RequestOwner::preferences);
            f.executor.runUntilIdle();
            EXPECT_FALSE(ended);
            f.permissions.cancelRequest(PermissionServiceDriving::RequestOwner::welcome);
        } else {
            f.permissions.stop();
        }
        EXPECT_FALSE(f.permissions.task()) << (cancel ? "cancelled" : "stopped");
        f.executor.runUntilIdle();
        if (!f.backend->reads.empty()) {
            f.backend->answer(true);
        }
        f.executor.runUntilIdle();
        EXPECT_TRUE(ended) << (cancel ? "cancelled" : "stopped");
        EXPECT_EQ(f.changes, 0) << (cancel ? "cancelled" : "stopped");
        EXPECT_FALSE(f.permissions.task()) << (cancel ? "cancelled" : "stopped");
    }
}

} // namespace
} // namespace tidewright
