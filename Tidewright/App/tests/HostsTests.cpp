// The preferences and welcome hosts over the app model's fakes: the props follow the model, each
// hook does what it should in the running and the stopped model, a second open-at-login change is
// dropped while one is in flight; and the native presenter's windows, one of each kind.

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "AppHarness.hpp"
#include "FakeDesktop.hpp"
#include "WelcomeButton.hpp"
#include "corbel/ui/WelcomeStepRow.hpp"
#include "corbel/ui/WindowKinds.hpp"
#include "corbel/ui/testing/GoldenImages.hpp"
#include "platform/concurrency/Continuation.hpp"
#include "tidewright/app/NativeTidewrightPresenter.hpp"
#include "tidewright/app/TidewrightPreferencesHost.hpp"
#include "tidewright/app/TidewrightWelcomeHost.hpp"
#include "tidewright/shell/OpenAtLogin.hpp"
#include "tidewright/views/TidewrightCopy.hpp"

namespace tidewright {
namespace {

using namespace fakes;
using Log = std::vector<std::string>;
using Session = WindowPresentationOwner::WelcomeSession;

const BundleID editor("org.example.Editor");

// Widgets of a class without its own meta-object, which findChildren cannot tell apart.
template <class T>
int countOf(const QWidget& parent) {
    int count = 0;
    for (QWidget* child : parent.findChildren<QWidget*>()) {
        count += dynamic_cast<T*>(child) != nullptr ? 1 : 0;
    }
    return count;
}

// The model running with the permission granted, its log cleared.
struct RunningHarness : Harness {
    explicit RunningHarness(std::shared_ptr<OpenAtLoginDriving> login = nullptr)
        : Harness(switchSummary(true), false, nullptr, std::move(login)) {
        startWith(PermissionState::granted);
        log.clear();
    }
};

TEST(TidewrightPreferencesHost, ThePropsFollowEveryObservedValue) {
    RunningHarness h;
    TidewrightPreferencesHost host(h.model);
    const auto shown = [&] {
        return host.view().props();
    };
    EXPECT_EQ(shown(), TidewrightPreferencesHost::props(*h.model));
    EXPECT_EQ(shown().permissions.moveWindows, PermissionState::granted);

    h.permissions->complete(PermissionState::denied);
    EXPECT_EQ(shown().permissions.moveWindows, PermissionState::denied);
    EXPECT_EQ(shown().decision, h.model->decision());

    h.model->raiseIssue(TidewrightIssue::settings);
    EXPECT_EQ(shown().issues, std::vector<TidewrightIssue>{TidewrightIssue::settings});

    h.openingRules->rebuild({{editor, QStringLiteral("Editor"), OpeningAction::maximize, std::nullopt}},
                            {{BundleID("org.example.Terminal"), QStringLiteral("Terminal")}});
    ASSERT_EQ(shown().rules.size(), 1u);
    EXPECT_EQ(shown().rules[0].id, editor);
    ASSERT_EQ(shown().openApps.size(), 1u);
    EXPECT_EQ(shown().openApps[0].name, QStringLiteral("Terminal"));

    EXPECT_FALSE(shown().opensAtLogin);
    h.openAtLogin->state.set(LoginState::enabled);
    EXPECT_TRUE(shown().opensAtLogin);
    h.openAtLogin->state.set(LoginState::approvalRequired);
    EXPECT_FALSE(shown().opensAtLogin) << "only enabled shows the switch on";
}

TEST(TidewrightPreferencesHost, EachHookInTheRunningAndTheStoppedModel) {
    const struct {
        const char* name;
        std::function<void(const TidewrightPreferencesActions&)> press;
        Log running;
        Log stopped;
    } cases[] = {
        {"open at login",
         [](const auto& a) { a.setOpensAtLogin(true); },
         {"openAtLogin.requestChange(true)"},
         {"openAtLogin.requestChange(true)"}},
        {"change a rule",
         [](const auto& a) { a.changeRule(editor, OpeningAction::maximize); },
         {"openingRules.setAction(org.example.Editor, maximize)"},
         {"openingRules.setAction(org.example.Editor, maximize)"}},
        {"remove a rule",
         [](const auto& a) { a.removeRule(editor); },
         {"openingRules.removeRule(org.example.Editor)"},
         {"openingRules.removeRule(org.example.Editor)"}},
        {"add an open application",
         [](const auto& a) { a.addOpenApp(editor); },
         {"openingRules.addRule(org.example.Editor)"},
         {"openingRules.addRule(org.example.Editor)"}},
        // The opening rules decide by their own running state, and keep the one chooser.
        {"choose applications",
         [](const auto& a) { a.chooseApplications(); },
         {"openingRules.presentChooser"},
         {"openingRules.presentChooser"}},
        {"request the permission",
         [](const auto& a) { a.requestPermission(); },
         {"permissions.request(preferences)"},
         {}},
        {"open System Settings",
         [](const auto& a) { a.action(TidewrightPresentationAction::systemSettings); },
         {"settings.open"},
         {}},
    };
    for (const auto& c : cases) {
        for (const bool running : {true, false}) {
            RunningHarness h;
            if (!running) {
                h.model->stop();
                h.log.clear();
            }
            c.press(TidewrightPreferencesHost::actions(h.model));
            EXPECT_EQ(h.log, running ? c.running : c.stopped)
                << c.name << (running ? " running" : " stopped");
        }
        // Once the model is gone the hook does nothing.
        std::weak_ptr<TidewrightAppModel> gone;
        {
            RunningHarness h;
            gone = h.model;
            const TidewrightPreferencesActions actions = TidewrightPreferencesHost::actions(gone);
            h.model.reset();
            h.log.clear();
            c.press(actions);
            EXPECT_EQ(h.log, Log{}) << c.name << " after the model";
        }
    }
}

TEST(TidewrightPreferencesHost, TheViewsControlsReachTheModel) {
    RunningHarness h;
    TidewrightPreferencesHost host(h.model);
    host.resize(560, host.heightForWidth(560));
    corbel::testing::renderOffscreen(host, host.size());
    QTest::mouseClick(&host.view().allowButton(), Qt::LeftButton);
    h.permissions->complete(PermissionState::denied);
    std::erase(h.log, "hotkeys.apply(0)");
    std::erase(h.log, "execution.factsChanged");
    std::erase(h.log, "openingRules.apply");
    corbel::testing::renderOffscreen(host, host.size());
    QTest::mouseClick(&host.view().allowButton(), Qt::LeftButton);
    EXPECT_EQ(h.log, (Log{"permissions.request(preferences)", "permissions.request(preferences)"}));
}

TEST(TidewrightWelcomeHost, EachHookInTheRunningAndTheStoppedModel) {
    const struct {
        const char* name;
        std::function<void(const TidewrightWelcomeActions&)> press;
        Log running;
        Log stopped;
    } cases[] = {
        {"open at login",
         [](const auto& a) { a.setOpensAtLogin(false); },
         {"openAtLogin.requestChange(false)"},
         {"openAtLogin.requestChange(false)"}},
        {"request the permission",
         [](const auto& a) { a.requestPermission(); },
         {"permissions.request(welcome)"},
         {}},
        {"open System Settings", [](const auto& a) { a.openSystemSettings(); }, {"settings.open"}, {}},
        {"finish",
         [](const auto& a) { a.finish(); },
         {"permissions.cancelRequest(welcome)"},
         {"permissions.cancelRequest(welcome)"}},
    };
    for (const auto& c : cases) {
        for (const bool running : {true, false}) {
            RunningHarness h;
            if (!running) {
                h.model->stop();
                h.log.clear();
            }
            c.press(TidewrightWelcomeHost::actions(h.model));
            EXPECT_EQ(h.log, running ? c.running : c.stopped)
                << c.name << (running ? " running" : " stopped");
        }
    }
}

TEST(TidewrightWelcomeHost, FinishingClosesTheWelcomeForThisRunningPeriodOnly) {
    RunningHarness h;
    h.model->showWelcome();
    ASSERT_EQ(h.model->presentation().welcome(), Session::presented);
    TidewrightWelcomeHost::actions(h.model).finish();
    EXPECT_EQ(h.model->presentation().welcome(), Session::suppressed);

    h.model->stop();
    h.model->start();
    EXPECT_EQ(h.model->presentation().welcome(), Session::waiting);
    h.model->stop();
    TidewrightWelcomeHost::actions(h.model).finish();
    EXPECT_EQ(h.model->presentation().welcome(), Session::waiting) << "nothing to suppress while stopped";
}

TEST(TidewrightWelcomeHost, SystemSettingsRaisesItsIssueOnFailureAndResolvesItOnSuccess) {
    RunningHarness h;
    const TidewrightWelcomeActions actions = TidewrightWelcomeHost::actions(h.model);
    h.settings->opens = false;
    actions.openSystemSettings();
    EXPECT_EQ(h.model->issues(), std::vector<TidewrightIssue>{TidewrightIssue::settings});
    h.settings->opens = true;
    actions.openSystemSettings();
    EXPECT_TRUE(h.model->issues().empty());
}

TEST(TidewrightWelcomeHost, EachOpeningGetsAFreshViewThatHasNotAsked) {
    RunningHarness h;
    h.model->showWelcome();
    TidewrightWelcomeHost host(h.model);
    h.permissions->complete(PermissionState::denied);
    EXPECT_EQ(host.view().props().permissions.moveWindows, PermissionState::denied);
    h.log.clear();

    host.resize(560, host.heightForWidth(560));
    corbel::testing::renderOffscreen(host, host.size());
    auto& allow = const_cast<corbel::WelcomeButton&>(host.view().stepRow().actionButton());
    QTest::mouseClick(&allow, Qt::LeftButton);
    EXPECT_EQ(h.log, Log{"permissions.request(welcome)"});
    ASSERT_TRUE(host.view().asked());

    h.permissions->complete(PermissionState::denied); // the request's own read, unchanged
    const TidewrightWelcome* first = &host.view();
    EXPECT_TRUE(host.view().asked()) << "a new permission alone keeps the view";

    h.model->showWelcome();
    EXPECT_NE(&host.view(), first);
    EXPECT_FALSE(host.view().asked());
    EXPECT_EQ(host.view().props().permissions.moveWindows, PermissionState::denied);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(countOf<TidewrightWelcome>(host), 1);
}

// A login item whose every change waits until the test finishes it.
class HeldLogin final : public LoginManaging {
public:
    int status() const override { return enabled ? 1 : 0; }
    platform::Async<> setEnabled(bool value) override {
        requests.push_back(value);
        co_await platform::withContinuation<bool>(
            "held login change", [this](platform::Continuation<bool> c) { held.push_back(c); });
        enabled = value;
    }
    void finish() {
        const auto change = held.front();
        held.erase(held.begin());
        change.resume(true);
    }

    bool enabled = false;
    std::vector<bool> requests;
    std::vector<platform::Continuation<bool>> held;
};

TEST(OpenAtLoginSwitch, ASecondChangeWhileOneIsInFlightIsDropped) {
    platform::ManualExecutor main;
    auto login = std::make_shared<HeldLogin>();
    auto openAtLogin = OpenAtLogin::make(login, main);
    RunningHarness h(openAtLogin);
    TidewrightPreferencesHost preferences(h.model);
    h.model->showWelcome();
    TidewrightWelcomeHost welcome(h.model);

    TidewrightPreferencesHost::actions(h.model).setOpensAtLogin(true);
    main.runUntilIdle();
    // Both windows' switches share the one change in flight.
    TidewrightPreferencesHost::actions(h.model).setOpensAtLogin(false);
    TidewrightWelcomeHost::actions(h.model).setOpensAtLogin(true);
    main.runUntilIdle();
    EXPECT_EQ(login->requests, std::vector<bool>{true});

    login->finish();
    main.runUntilIdle();
    EXPECT_TRUE(preferences.view().props().opensAtLogin);
    EXPECT_TRUE(welcome.view().props().opensAtLogin);

    TidewrightWelcomeHost::actions(h.model).setOpensAtLogin(false);
    main.runUntilIdle();
    EXPECT_EQ(login->requests, (std::vector<bool>{true, false})) << "the next change goes ahead";
    login->finish();
    main.runUntilIdle();
    EXPECT_FALSE(preferences.view().props().opensAtLogin);

    h.model->stop();
    TidewrightPreferencesHost::actions(h.model).setOpensAtLogin(true);
    main.runUntilIdle();
    EXPECT_EQ(login->requests.size(), 2u) << "no change while stopped";
}

class NativePresenterTest : public ::testing::Test {
protected:
    NativePresenterTest() {
        screens->list = {corbel::testing::screen(1, {0, 0, 1920, 1080}, {0, 32, 1920, 1048})};
        pointer->mouse = {100, 100};
        corbel::KitWindows::install({&executor, screens, pointer});
    }
    ~NativePresenterTest() override { corbel::KitWindows::reset(); }

    platform::ManualExecutor executor;
    std::shared_ptr<corbel::testing::FakeScreens> screens = std::make_shared<corbel::testing::FakeScreens>();
    std::shared_ptr<corbel::testing::FakePointer> pointer = std::make_shared<corbel::testing::FakePointer>();
    NativeTidewrightPresenter native;
};

TEST_F(NativePresenterTest, ThePreferencesWindowIsOneAndItsCloseDropsThePreferencesWork) {
    RunningHarness h;
    native.presentPreferences(*h.model, QStringLiteral("Tidewright Preferences"));
    corbel::FixedNativeWindow* window = corbel::KitWindows::require().preferences().window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tidewright Preferences"));
    EXPECT_EQ(countOf<TidewrightPreferencesHost>(*window), 1);

    native.presentPreferences(*h.model, QStringLiteral("Other"));
    EXPECT_EQ(corbel::KitWindows::require().preferences().window(), window);
    EXPECT_EQ(countOf<TidewrightPreferencesHost>(*window), 1);

    window->close();
    EXPECT_EQ(h.log, (Log{"openingRules.cancelChooser", "catalog.cancelSelection",
                          "permissions.cancelRequest(preferences)"}));
}

TEST_F(NativePresenterTest, TheWelcomeWindowIsOneAndItsCloseIsTheModelsWelcomeClosed) {
    RunningHarness h;
    native.presentWelcome(*h.model);
    corbel::FixedNativeWindow* window = corbel::KitWindows::require().welcomeSteps().window();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Tidewright"));
    native.presentWelcome(*h.model);
    EXPECT_EQ(countOf<TidewrightWelcomeHost>(*window), 1);

    h.model->presentation().markWelcomePresented();
    window->close();
    EXPECT_EQ(h.log, Log{"permissions.cancelRequest(welcome)"});
    EXPECT_EQ(h.model->presentation().welcome(), Session::suppressed);
}

TEST_F(NativePresenterTest, FinishingTheWelcomeClosesItsWindow) {
    RunningHarness h;
    native.presentWelcome(*h.model);
    corbel::FixedNativeWindow* window = corbel::KitWindows::require().welcomeSteps().window();
    ASSERT_TRUE(window->isVisible());
    TidewrightWelcomeHost::actions(h.model).finish();
    EXPECT_FALSE(window->isVisible());
}

TEST(TidewrightAppModelWindows, ShowPreferencesHandsThePresenterTheLocalizedTitle) {
    RunningHarness h;
    h.model->showPreferences();
    ASSERT_EQ(h.presenter->preferencesFor.size(), 1u);
    EXPECT_EQ(h.presenter->preferencesFor[0].first, h.model.get());
    EXPECT_EQ(h.presenter->preferencesFor[0].second,
              localizedCopy(TidewrightCopy::preferencesTitle, QLocale()));
    h.model->stop();
    h.model->showPreferences();
    EXPECT_EQ(h.presenter->preferencesFor.size(), 2u) << "the callers check running, not the model";
}

} // namespace
} // namespace tidewright
