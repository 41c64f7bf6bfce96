// Open at login: the status mapping, one change at a time, and the reports of a change, with a
// login service whose change waits on a manual queue; then over the real autostart entry.

#include "tidewright/shell/OpenAtLogin.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <limits>

#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/concurrency/ManualSerialQueue.hpp"
#include "tidewright/shell/LoginService.hpp"

namespace tidewright {
namespace {

TEST(LoginState, MapsEveryStatusValue) {
    const std::pair<int, LoginState> cases[] = {
        {0, LoginState::disabled},
        {1, LoginState::enabled},
        {2, LoginState::approvalRequired},
        {3, LoginState::unavailable},
        {4, LoginState::unavailable},
        {1000, LoginState::unavailable},
        // A negative status was left unmapped; it is no state the platform can be in.
        {-1, LoginState::unavailable},
        {std::numeric_limits<int>::min(), LoginState::unavailable},
    };
    for (const auto& [status, state] : cases) {
        EXPECT_EQ(loginStateFromStatus(status), state) << status;
    }
}

struct LoginFailure : std::runtime_error {
    LoginFailure() : std::runtime_error("refused") {}
};

class QueuedLogin final : public LoginManaging {
public:
    explicit QueuedLogin(platform::ManualSerialQueue& queue) : queue_(queue) {}

    int status() const override { return statusValue; }
    platform::Async<> setEnabled(bool enabled) override {
        requests.push_back(enabled);
        QueuedLogin* self = this;
        co_await queue_.run([self, enabled] {
            if (self->fail) {
                throw LoginFailure();
            }
            self->statusValue = enabled ? self->statusWhenEnabled : 0;
        });
    }

    int statusValue = 0;
    int statusWhenEnabled = 1;
    bool fail = false;
    std::vector<bool> requests;

private:
    platform::ManualSerialQueue& queue_;
};

class OpenAtLoginTest : public ::testing::Test {
protected:
    void SetUp() override {
        openAtLogin = OpenAtLogin::make(login, executor);
        openAtLogin->onResult = [this](bool success) {
            results.push_back(success);
        };
        subscription = openAtLogin->state.subscribe([this](const LoginState&) { ++notified; });
        openAtLogin->start();
    }

    void settle() {
        do {
            executor.runUntilIdle();
        } while (queue.step());
        executor.runUntilIdle();
    }

    platform::ManualExecutor executor;
    platform::ManualSerialQueue queue;
    std::shared_ptr<QueuedLogin> login = std::make_shared<QueuedLogin>(queue);
    std::shared_ptr<OpenAtLogin> openAtLogin;
    platform::Subscription subscription;
    std::vector<bool> results;
    int notified = 0;
};

TEST_F(OpenAtLoginTest, AChangeIsReadBackAndReported) {
    openAtLogin->requestChange(true);
    settle();
    EXPECT_EQ(openAtLogin->state.value(), LoginState::enabled);
    EXPECT_EQ(results, std::vector<bool>{true});
    EXPECT_FALSE(openAtLogin->changing());

    // A registration that waits for approval is still a success.
    login->statusWhenEnabled = 2;
    openAtLogin->requestChange(true);
    settle();
    EXPECT_EQ(openAtLogin->state.value(), LoginState::approvalRequired);
    EXPECT_EQ(results, (std::vector<bool>{true, true}));
}

TEST_F(OpenAtLoginTest, ASecondRequestWhileAChangeIsInFlightIsDropped) {
    openAtLogin->requestChange(true);
    executor.runUntilIdle();
    openAtLogin->requestChange(false);
    settle();
    EXPECT_EQ(login->requests, std::vector<bool>{true});
    EXPECT_EQ(openAtLogin->state.value(), LoginState::enabled);
    EXPECT_EQ(results.size(), 1U);
}

TEST_F(OpenAtLoginTest, AFailedChangeKeepsTheStateReadBeforeIt) {
    login->fail = true;
    openAtLogin->requestChange(true);
    settle();
    EXPECT_EQ(results, std::vector<bool>{false});
    EXPECT_EQ(openAtLogin->state.value(), LoginState::disabled);
    EXPECT_EQ(notified, 0);
    EXPECT_FALSE(openAtLogin->changing());
}

TEST_F(OpenAtLoginTest, AStopDuringAChangeReportsNothing) {
    openAtLogin->requestChange(true);
    executor.runUntilIdle();
    openAtLogin->stop();
    EXPECT_FALSE(openAtLogin->changing());
    settle();
    EXPECT_TRUE(results.empty());
    EXPECT_EQ(notified, 0);
    // Stopped: neither changes nor refreshes run.
    openAtLogin->requestChange(false);
    openAtLogin->refresh();
    settle();
    EXPECT_EQ(login->requests, std::vector<bool>{true});
    EXPECT_EQ(openAtLogin->state.value(), LoginState::disabled);
}

TEST_F(OpenAtLoginTest, RefreshTellsObserversOnlyOfADifference) {
    openAtLogin->refresh();
    EXPECT_EQ(notified, 0);
    login->statusValue = -1;
    openAtLogin->refresh();
    EXPECT_EQ(openAtLogin->state.value(), LoginState::unavailable);
    openAtLogin->refresh();
    EXPECT_EQ(notified, 1);
}

// Over the autostart entry in a temporary configuration folder.
TEST(OpenAtLoginOverAutostart, RegistersUnregistersAndReportsAFailedWrite) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    auto item = std::make_shared<platform::AutostartLoginItem>(
        platform::AutostartLoginItem::Settings{root.filePath(QStringLiteral("config")),
                                               {},
                                               executable,
                                               QStringLiteral("app.corbelthane.tidewright.desktop"),
                                               QStringLiteral("Tidewright"),
                                               {}});
    platform::ManualExecutor executor;
    platform::ManualSerialQueue queue;
    auto openAtLogin = OpenAtLogin::make(std::make_shared<LoginService>(item, queue), executor);
    std::vector<bool> results;
    openAtLogin->onResult = [&](bool success) {
        results.push_back(success);
    };
    openAtLogin->start();
    auto change = [&](bool enabled) {
        openAtLogin->requestChange(enabled);
        do {
            executor.runUntilIdle();
        } while (queue.step());
        executor.runUntilIdle();
    };

    change(true);
    EXPECT_EQ(openAtLogin->state.value(), LoginState::enabled);
    change(false);
    EXPECT_EQ(openAtLogin->state.value(), LoginState::disabled);

    // A file where the autostart folder should be: refused even for root.
    ASSERT_TRUE(QDir(root.filePath(QStringLiteral("config/autostart"))).removeRecursively());
    QFile blocker(root.filePath(QStringLiteral("config/autostart")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    change(true);
    EXPECT_EQ(results, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(openAtLogin->state.value(), LoginState::disabled);
}

} // namespace
} // namespace tidewright
