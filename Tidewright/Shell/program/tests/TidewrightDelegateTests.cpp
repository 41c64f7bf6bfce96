#include "tidewright/shell/TidewrightDelegate.hpp"

#include "AppHarness.hpp"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

using namespace tidewright;
using tidewright::fakes::Harness;

class CountingNotifier final : public corbel::UpdateNotifier {
public:
    const std::optional<corbel::AvailableUpdate>& available() const override { return none_; }
    platform::Subscription observeAvailable(AvailableSubscriber) override { return {}; }
    void checkIfDue() override { ++checks; }
    void setAside() override {}
    int checks = 0;

private:
    std::optional<corbel::AvailableUpdate> none_;
};

// What the delegate did through its environment, beside the model's own log.
struct Outside {
    int builds = 0;
    int alerts = 0;
    int terminations = 0;
    int snapshotLaunches = 0;
    CountingNotifier notifier;
};

TidewrightDelegate::Environment environment(Outside& outside,
                                            std::function<std::shared_ptr<TidewrightAppModel>()> build,
                                            bool snapshot = false) {
    TidewrightDelegate::Environment e;
    e.snapshotRequested = snapshot;
    e.buildModel = [&outside, build = std::move(build)] {
        ++outside.builds;
        return build();
    };
    e.snapshotLaunch = [&outside, snapshot] {
        ++outside.snapshotLaunches;
        return snapshot;
    };
    e.updateChecker = [&outside, snapshot]() -> corbel::UpdateNotifier* {
        return snapshot ? nullptr : &outside.notifier;
    };
    e.showFailureAlert = [&outside] {
        ++outside.alerts;
    };
    e.terminate = [&outside] {
        ++outside.terminations;
    };
    return e;
}

TEST(TidewrightDelegateTest, NormalLaunchStartsTheModelThenChecksForUpdates) {
    Harness harness;
    Outside outside;
    TidewrightDelegate delegate(environment(outside, [&] { return harness.model; }));
    ASSERT_EQ(delegate.model(), harness.model);
    EXPECT_FALSE(harness.model->running()) << "built, not started, before launching finishes";

    // Becoming active before launching finished refreshes nothing; so does the settings command.
    const std::size_t before = harness.log.size();
    delegate.applicationDidBecomeActive();
    delegate.showPreferencesCommand();
    EXPECT_EQ(harness.logSince(before), std::vector<std::string>{});

    delegate.applicationDidFinishLaunching();
    EXPECT_TRUE(harness.model->running());
    EXPECT_EQ(outside.notifier.checks, 1);
    EXPECT_EQ(outside.alerts, 0);

    const std::size_t active = harness.log.size();
    delegate.applicationDidBecomeActive();
    EXPECT_EQ(
        harness.logSince(active),
        (std::vector<std::string>{"permissions.refresh", "preferences.refresh", "openAtLogin.refresh"}));

    delegate.applicationWillTerminate();
    EXPECT_FALSE(harness.model->running());
    const std::size_t stopped = harness.log.size();
    delegate.applicationDidBecomeActive();
    EXPECT_EQ(harness.logSince(stopped), std::vector<std::string>{});
}

TEST(TidewrightDelegateTest, FailedBuildAlertsThenTerminates) {
    Outside outside;
    TidewrightDelegate delegate(environment(
        outside, []() -> std::shared_ptr<TidewrightAppModel> { throw std::runtime_error("no display"); }));
    EXPECT_EQ(delegate.model(), nullptr);
    delegate.applicationDidBecomeActive();
    delegate.showPreferencesCommand();
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(outside.alerts, 1);
    EXPECT_EQ(outside.terminations, 1);
    EXPECT_EQ(outside.notifier.checks, 0);
    delegate.applicationWillTerminate();
}

TEST(TidewrightDelegateTest, SnapshotModeBuildsNothingAndHandsTheLaunchOver) {
    Outside outside;
    TidewrightDelegate delegate(environment(
        outside, []() -> std::shared_ptr<TidewrightAppModel> { return nullptr; }, /*snapshot=*/true));
    EXPECT_EQ(outside.builds, 0);
    delegate.applicationDidFinishLaunching();
    EXPECT_EQ(outside.snapshotLaunches, 1);
    EXPECT_EQ(outside.alerts, 0);
    EXPECT_EQ(outside.terminations, 0);
    EXPECT_EQ(outside.notifier.checks, 0);
}

} // namespace
