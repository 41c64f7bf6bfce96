#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "AppHarness.hpp"
#include "platform/defaults/UserDefaults.hpp"
#include "tidewright/app/LocalWelcomeHistory.hpp"
#include "tidewright/app/WindowPresentationOwner.hpp"

namespace tidewright {
namespace {

using namespace fakes;
using Session = WindowPresentationOwner::WelcomeSession;

struct DefaultsFolder {
    std::filesystem::path file() const {
        return std::filesystem::path(folder.path().toStdString()) / "standard.json";
    }
    QTemporaryDir folder;
};

TEST(LocalWelcomeHistory, OnlyTheTextPresentedCountsAsPresented) {
    const struct {
        const char* name;
        std::optional<platform::PropertyValue> stored;
        bool presented;
    } cases[] = {
        {"nothing", std::nullopt, false},
        {"presented", platform::PropertyValue::string("presented"), true},
        {"neverPresented", platform::PropertyValue::string("neverPresented"), false},
        {"another text", platform::PropertyValue::string("Presented"), false},
        {"a number", platform::PropertyValue::integer(1), false},
        {"data of the text", platform::PropertyValue::data("presented"), false},
    };
    for (const auto& c : cases) {
        DefaultsFolder folder;
        platform::ManualExecutor executor;
        platform::UserDefaults defaults(folder.file(), executor);
        if (c.stored) {
            ASSERT_TRUE(defaults.set(LocalWelcomeHistory::key, *c.stored)) << c.name;
        }
        EXPECT_EQ(LocalWelcomeHistory(defaults).hasPresented(), c.presented) << c.name;
    }
}

TEST(LocalWelcomeHistory, TheRecordSurvivesARelaunch) {
    DefaultsFolder folder;
    {
        platform::ManualExecutor executor;
        platform::UserDefaults defaults(folder.file(), executor);
        defaults.set(LocalWelcomeHistory::key, platform::PropertyValue::integer(7));
        LocalWelcomeHistory history(defaults);
        history.markPresented();
        EXPECT_TRUE(history.hasPresented());
        ASSERT_TRUE(defaults.synchronize());
    }
    platform::ManualExecutor executor;
    platform::UserDefaults defaults(folder.file(), executor);
    EXPECT_EQ(defaults.string(LocalWelcomeHistory::key), "presented");
    EXPECT_TRUE(LocalWelcomeHistory(defaults).hasPresented());
}

TEST(WindowPresentationOwner, OffersTheWelcomeOncePerRunningPeriod) {
    const struct {
        const char* name;
        bool everPresented;
        PermissionState permission;
        bool readCompleted;
        bool shows;
    } cases[] = {
        {"first launch, granted", false, PermissionState::granted, true, true},
        {"first launch, no read yet", false, PermissionState::unknown, false, false},
        {"first launch, unknown after a read", false, PermissionState::unknown, true, true},
        {"shown before, granted", true, PermissionState::granted, true, false},
        {"shown before, denied", true, PermissionState::denied, true, true},
        {"shown before, unknown", true, PermissionState::unknown, true, false},
        {"shown before, denied, no read yet", true, PermissionState::denied, false, false},
    };
    for (const auto& c : cases) {
        auto history = std::make_shared<MemoryWelcomeHistory>();
        history->presented = c.everPresented;
        int shown = 0;
        WindowPresentationOwner owner(history, [&shown] { ++shown; });

        owner.offerWelcome(c.permission, c.readCompleted);
        EXPECT_EQ(shown, 0) << c.name << ": offered before start";

        owner.start();
        owner.offerWelcome(c.permission, c.readCompleted);
        owner.offerWelcome(c.permission, c.readCompleted);
        EXPECT_EQ(shown, c.shows ? 1 : 0) << c.name;
        EXPECT_EQ(owner.welcome(), c.shows ? Session::presented : Session::waiting) << c.name;
        EXPECT_EQ(history->presented, c.everPresented || c.shows) << c.name;
        EXPECT_EQ(history->writes, !c.everPresented && c.shows ? 1 : 0) << c.name;

        // A new running period may offer it once more.
        owner.stop();
        owner.start();
        owner.offerWelcome(c.permission, c.readCompleted);
        const bool showsAgain = c.readCompleted && c.permission == PermissionState::denied;
        EXPECT_EQ(shown, (c.shows ? 1 : 0) + (showsAgain ? 1 : 0)) << c.name;
        EXPECT_LE(history->writes, 1) << c.name;
    }
}

TEST(WindowPresentationOwner, AClosedWelcomeIsNotOfferedAgainInTheSamePeriod) {
    auto history = std::make_shared<MemoryWelcomeHistory>();
    history->presented = true;
    int shown = 0;
    WindowPresentationOwner owner(history, [&shown] { ++shown; });
    owner.start();
    owner.offerWelcome(PermissionState::granted, true);
    owner.suppress();
    EXPECT_EQ(owner.welcome(), Session::suppressed);
    owner.offerWelcome(PermissionState::denied, true);
    EXPECT_EQ(shown, 0);
    // Suppressing while stopped changes nothing.
    owner.stop();
    owner.start();
    owner.stop();
    owner.suppress();
    EXPECT_EQ(owner.welcome(), Session::waiting);
}

TEST(AppModelWelcome, OpensAfterTheFirstReadAtFirstLaunchAndWhileDenied) {
    const struct {
        const char* name;
        bool everPresented;
        PermissionState first;
        bool opens;
    } cases[] = {
        {"first launch, granted", false, PermissionState::granted, true},
        {"first launch, denied", false, PermissionState::denied, true},
        {"later launch, granted", true, PermissionState::granted, false},
        {"later launch, denied", true, PermissionState::denied, true},
    };
    for (const auto& c : cases) {
        Harness h;
        h.memoryHistory->presented = c.everPresented;
        h.model->start();
        // The first reconcile runs before any permission read completes.
        EXPECT_TRUE(h.presenter->presentedFor.empty()) << c.name;
        h.permissions->complete(c.first);
        h.permissions->complete(c.first);
        h.hotkeys->onChange();
        EXPECT_EQ(h.model->welcomeOpenings(), c.opens ? 1 : 0) << c.name;
        EXPECT_EQ(h.presenter->presentedFor,
                  c.opens ? std::vector{h.model.get()} : std::vector<TidewrightAppModel*>{})
            << c.name;
        EXPECT_TRUE(h.memoryHistory->presented) << c.name;
    }
}

TEST(AppModelWelcome, AWithdrawnPermissionLaterInThePeriodOpensIt) {
    Harness h;
    h.memoryHistory->presented = true;
    h.startWith(PermissionState::granted);
    EXPECT_EQ(h.model->welcomeOpenings(), 0);
    h.permissions->complete(PermissionState::denied);
    EXPECT_EQ(h.model->welcomeOpenings(), 1);

    // Closed by the user: not again in this period, once more in the next.
    h.model->welcomeClosed();
    EXPECT_EQ(h.log.back(), "permissions.cancelRequest(welcome)");
    EXPECT_EQ(h.model->presentation().welcome(), Session::suppressed);
    h.permissions->complete(PermissionState::denied);
    EXPECT_EQ(h.model->welcomeOpenings(), 1);
    h.model->stop();
    h.startWith(PermissionState::denied);
    EXPECT_EQ(h.model->welcomeOpenings(), 2);
}

TEST(AppModelWelcome, OpeningItOnRequestCountsEveryOpeningAndWritesTheRecordOnce) {
    Harness h;
    h.memoryHistory->presented = false;
    h.model->perform(TidewrightPresentationAction::permissions);
    h.model->showWelcome();
    EXPECT_EQ(h.model->welcomeOpenings(), 0) << "opened while not running";

    h.model->start();
    int notices = 0;
    auto subscription = h.model->observeWelcomeOpenings([&](const std::int64_t&) { ++notices; });
    h.model->perform(TidewrightPresentationAction::permissions);
    h.model->perform(TidewrightPresentationAction::permissions);
    EXPECT_EQ(h.model->welcomeOpenings(), 2);
    EXPECT_EQ(notices, 2);
    EXPECT_EQ(h.presenter->presentedFor.size(), 2u);
    EXPECT_EQ(h.memoryHistory->writes, 1);
    // Shown on request before the first read: the automatic offer is spent for this period.
    h.permissions->complete(PermissionState::granted);
    EXPECT_EQ(h.model->welcomeOpenings(), 2);
}

TEST(AppModelWelcome, IsRememberedAcrossStartsInTheDefaultsFile) {
    DefaultsFolder folder;
    for (const int launch : {1, 2}) {
        platform::ManualExecutor executor;
        platform::UserDefaults defaults(folder.file(), executor);
        Harness h(switchSummary(true), false, std::make_shared<LocalWelcomeHistory>(defaults));
        h.startWith(PermissionState::granted);
        EXPECT_EQ(h.model->welcomeOpenings(), launch == 1 ? 1 : 0) << "launch " << launch;
        h.model.reset();
        ASSERT_TRUE(defaults.synchronize());
    }
}

} // namespace
} // namespace tidewright
