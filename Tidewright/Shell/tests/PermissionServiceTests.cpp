// The permission service with a backend whose every call waits on a manual queue, so a test holds
// a read or a prompt in flight for as long as it likes.

#include "tidewright/shell/AccessibilityTrustNotices.hpp"
#include "tidewright/shell/PermissionService.hpp"

#include <gtest/gtest.h>

#include "platform/accessibility/ScriptedTrustNoticeCenter.hpp"
#include "platform/concurrency/ManualClock.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/concurrency/ManualSerialQueue.hpp"

namespace tidewright {
namespace {

class QueuedPermissionBackend final : public PermissionBackend {
public:
    explicit QueuedPermissionBackend(platform::ManualSerialQueue& queue) : queue_(queue) {}

    // The answer is taken when the queued call runs, so a test can change it in between.
    platform::Async<bool> isTrusted() override {
        ++reads;
        const bool* answer = &trusted;
        co_return co_await queue_.run([answer] { return *answer; });
    }
    platform::Async<> requestTrust() override {
        ++prompts;
        co_await queue_.run([] {});
    }

    bool trusted = true;
    int reads = 0;
    int prompts = 0;

private:
    platform::ManualSerialQueue& queue_;
};

class PermissionServiceTest : public ::testing::Test {
protected:
    PermissionServiceTest() {
        service->onChange = [this] {
            ++changes;
            taskAtChange.push_back(service->hasTask());
        };
    }

    // Lets every task and every backend call run to its end.
    void settle() {
        do {
            executor.runUntilIdle();
        } while (queue.step());
        executor.runUntilIdle();
    }

    PermissionState state() const { return service->permissions().moveWindows; }

    platform::ManualExecutor executor;
    platform::ManualSerialQueue queue;
    std::shared_ptr<QueuedPermissionBackend> backend = std::make_shared<QueuedPermissionBackend>(queue);
    std::shared_ptr<PermissionService> service = PermissionService::make(backend, executor);
    int changes = 0;
    std::vector<bool> taskAtChange;
};

TEST_F(PermissionServiceTest, ThreeRefreshesInOneTurnMakeTwoReads) {
    EXPECT_EQ(state(), PermissionState::unknown);
    service->refresh();
    service->refresh();
    service->refresh();
    EXPECT_TRUE(service->refreshAgain());
    settle();
    EXPECT_EQ(backend->reads, 2);
    EXPECT_EQ(changes, 2);
    // The second read was started before the first one was reported.
    EXPECT_EQ(taskAtChange, (std::vector<bool>{true, false}));
    EXPECT_EQ(state(), PermissionState::granted);
    EXPECT_FALSE(service->hasTask());
}

TEST_F(PermissionServiceTest, AwaitingTheTaskInFlightSeesItsResult) {
    service->refresh();
    const platform::Task<> read = *service->task();
    std::optional<PermissionState> seen;
    platform::spawn(executor, [&]() -> platform::Async<> {
        co_await read;
        seen = state();
    });
    settle();
    EXPECT_EQ(seen, PermissionState::granted);
    EXPECT_EQ(service->task(), std::nullopt);
}

TEST_F(PermissionServiceTest, EachReadWritesWhatTheBackendAnswers) {
    backend->trusted = false;
    service->refresh();
    settle();
    EXPECT_EQ(state(), PermissionState::denied);
    backend->trusted = true;
    service->refresh();
    settle();
    EXPECT_EQ(state(), PermissionState::granted);
    EXPECT_EQ(changes, 2);
}

TEST_F(PermissionServiceTest, AReadInFlightWhenARequestStartsIsNeverWritten) {
    backend->trusted = false;
    service->refresh();
    executor.runUntilIdle(); // the read waits on the queue
    service->request(PermissionRequestOwner::welcome);
    executor.runUntilIdle();
    ASSERT_TRUE(queue.step()); // the abandoned read answers "denied"
    executor.runUntilIdle();
    EXPECT_EQ(state(), PermissionState::unknown);
    EXPECT_EQ(changes, 0);

    backend->trusted = true;
    settle();
    EXPECT_EQ(backend->prompts, 1);
    EXPECT_EQ(state(), PermissionState::granted);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(service->requesting());
    EXPECT_EQ(service->requestOwner(), std::nullopt);
}

TEST_F(PermissionServiceTest, ARefreshDuringARequestIsServedByTheRequestsRead) {
    service->request(PermissionRequestOwner::preferences);
    service->refresh();
    EXPECT_FALSE(service->refreshAgain());
    settle();
    EXPECT_EQ(backend->reads, 1);
    EXPECT_EQ(changes, 1);
}

TEST_F(PermissionServiceTest, OnlyTheOwnerOfTheRequestInFlightCancelsIt) {
    service->request(PermissionRequestOwner::welcome);
    service->request(PermissionRequestOwner::preferences); // ignored: one request at a time
    EXPECT_EQ(service->requestOwner(), PermissionRequestOwner::welcome);

    service->cancelRequest(PermissionRequestOwner::preferences);
    EXPECT_TRUE(service->requesting());

    service->cancelRequest(PermissionRequestOwner::welcome);
    EXPECT_FALSE(service->requesting());
    EXPECT_EQ(service->requestOwner(), std::nullopt);
    settle();
    // Cancelled before it prompted, and the permission is not read again.
    EXPECT_EQ(backend->prompts, 0);
    EXPECT_EQ(backend->reads, 0);
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(state(), PermissionState::unknown);
}

TEST_F(PermissionServiceTest, ARequestCancelledWhileItPromptsWritesNothing) {
    service->request(PermissionRequestOwner::preferences);
    executor.runUntilIdle(); // prompting
    service->cancelRequest(PermissionRequestOwner::preferences);
    settle();
    EXPECT_EQ(backend->prompts, 1);
    EXPECT_EQ(backend->reads, 0);
    EXPECT_EQ(changes, 0);
}

TEST_F(PermissionServiceTest, AStopOrTheServiceGoingWhileAReadIsSuspendedWritesNothing) {
    for (bool destroy : {false, true}) {
        SCOPED_TRACE(destroy ? "destroyed" : "stopped");
        changes = 0;
        auto other = PermissionService::make(backend, executor);
        other->onChange = [this] {
            ++changes;
        };
        other->refresh();
        other->refresh();
        executor.runUntilIdle(); // the read waits on the queue
        std::weak_ptr<PermissionService> weak = other;
        if (destroy) {
            other.reset();
        } else {
            other->stop();
            EXPECT_FALSE(other->hasTask());
            EXPECT_FALSE(other->refreshAgain());
        }
        settle();
        EXPECT_EQ(changes, 0);
        if (auto still = weak.lock()) {
            EXPECT_EQ(still->permissions().moveWindows, PermissionState::unknown);
        }
    }
}

TEST_F(PermissionServiceTest, AStopDuringARequestEndsItAndKeepsThePermission) {
    service->refresh();
    settle();
    ASSERT_EQ(state(), PermissionState::granted);
    service->request(PermissionRequestOwner::welcome);
    executor.runUntilIdle();
    service->stop();
    backend->trusted = false;
    settle();
    EXPECT_EQ(state(), PermissionState::granted);
    EXPECT_FALSE(service->requesting());
    EXPECT_EQ(changes, 1);
    // The service works again after a stop.
    service->refresh();
    settle();
    EXPECT_EQ(state(), PermissionState::denied);
}

TEST_F(PermissionServiceTest, ABurstOfTrustNoticesEndsInTwoReads) {
    platform::ManualClock clock(executor);
    auto center = std::make_shared<platform::ScriptedTrustNoticeCenter>();
    AccessibilityTrustNotices notices(center, executor, clock);
    notices.start([this] { service->refresh(); });
    for (int i = 0; i < 5; ++i) {
        center->post();
    }
    clock.advance(AccessibilityTrustNotices::delay);
    settle();
    EXPECT_EQ(backend->reads, 2);
    EXPECT_EQ(changes, 2);
}

} // namespace
} // namespace tidewright
