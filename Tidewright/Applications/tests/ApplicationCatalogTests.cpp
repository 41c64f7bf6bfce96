#include "tidewright/applications/ApplicationCatalog.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "FakeWorkspace.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/concurrency/Task.hpp"

namespace tidewright {
namespace {

using platform::ActivationPolicy;
using platform::RunningApplication;
using platform::WorkspaceMessage;
using Response = platform::ApplicationChooser::Response;

RunningApplication running(std::optional<std::string> id, std::int32_t pid, const char* name = "App",
                           ActivationPolicy policy = ActivationPolicy::regular) {
    return RunningApplication{std::move(id), pid, policy,
                              name ? std::optional(QString::fromUtf8(name)) : std::nullopt};
}

ProcessID process(const char* id, std::int32_t pid, std::uint64_t incarnation) {
    return ProcessID{BundleID(id), pid, incarnation};
}

class ApplicationCatalogTest : public ::testing::Test {
public:
    void SetUp() override {
        catalog->onChange = [this] {
            calls.push_back("change");
        };
        catalog->onFocusChange = [this] {
            calls.push_back("focus");
        };
        catalog->onLifecycle = [this](const ApplicationLifecycle& event) {
            events.push_back(event);
        };
    }

    QStringList names() const {
        QStringList list;
        for (const LocalApplication& application : catalog->applications()) {
            list.append(application.name);
        }
        return list;
    }
    std::vector<LocalApplication> choose() {
        auto task = platform::spawn(executor,
                                    [catalog = catalog]() -> platform::Async<std::vector<LocalApplication>> {
                                        co_return co_await catalog->chooseApplications();
                                    });
        executor.runUntilIdle();
        return awaitResult(task);
    }
    template <class T>
    T awaitResult(const platform::Task<T>& task) {
        std::optional<T> result;
        platform::spawn(executor, [task, &result]() -> platform::Async<> { result = co_await task; });
        executor.runUntilIdle();
        EXPECT_TRUE(result.has_value());
        return result.value_or(T{});
    }

    testing::FakeWorkspace workspace;
    platform::ManualExecutor executor;
    std::shared_ptr<ApplicationCatalog> catalog = ApplicationCatalog::make(workspace);
    std::vector<std::string> calls;
    std::vector<ApplicationLifecycle> events;
};

TEST_F(ApplicationCatalogTest, StartSeedsIdentitiesInWorkspaceOrderWithoutPublishingLaunches) {
    workspace.running = {running("org.example.Zeta", 40), running(std::nullopt, 50), running("not valid", 60),
                         running("org.example.Alpha", 12), running("org.example.Zeta", 41)};
    catalog->start();
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(calls, std::vector<std::string>{"change"});
    EXPECT_EQ(catalog->runningProcesses(),
              (std::vector{process("org.example.Alpha", 12, 2), process("org.example.Zeta", 40, 1),
                           process("org.example.Zeta", 41, 3)}));
    EXPECT_EQ(workspace.observerCount(), 4u);

    catalog->start(); // a second start does nothing
    EXPECT_EQ(workspace.observerCount(), 4u);
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(catalog->runningProcesses().back().incarnation, 3u);
}

TEST_F(ApplicationCatalogTest, RunningListHoldsRegularNamedApplicationsOnceSortedByName) {
    workspace.running = {
        running("org.example.Item10", 1, "Item 10"),
        running("org.example.Item2", 2, "Item 2"),
        running("org.example.Tray", 3, "Tray", ActivationPolicy::accessory),
        running("org.example.Nameless", 4, nullptr),
        running("org.example.Item2", 5, "Item 2 again"),
        running(std::nullopt, 6, "No identity"),
        running("org.example.apple", 7, "apple"),
    };
    catalog->start();
    EXPECT_EQ(names(),
              (QStringList{QStringLiteral("apple"), QStringLiteral("Item 2"), QStringLiteral("Item 10")}));
    for (const LocalApplication& application : catalog->applications()) {
        EXPECT_FALSE(application.icon.has_value());
    }
    // Applications left out of the list still have identities.
    EXPECT_TRUE(catalog->processes().contains(3));
    EXPECT_TRUE(catalog->processes().contains(4));
}

TEST_F(ApplicationCatalogTest, ALaunchOnAReusedPidIsANewIdentity) {
    workspace.running = {running("org.example.Editor", 40)};
    catalog->start();
    const ProcessID first = catalog->runningProcesses().at(0);

    workspace.post(WorkspaceMessage::didLaunchApplication, running("org.example.Editor", 40));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0], ApplicationLifecycle::launched(process("org.example.Editor", 40, 2)));
    EXPECT_NE(events[0].process, first);
    EXPECT_EQ(calls, (std::vector<std::string>{"change", "change"}));
}

TEST_F(ApplicationCatalogTest, ExitBeforeLaunchOnOnePidEndsTheOldProcessOnly) {
    workspace.running = {running("org.example.Editor", 40)};
    catalog->start();
    // The workspace posts the old process's exit before the new process on the same pid.
    workspace.post(WorkspaceMessage::didTerminateApplication, running("org.example.Editor", 40));
    workspace.post(WorkspaceMessage::didLaunchApplication, running("org.example.Viewer", 40));
    EXPECT_EQ(events, (std::vector{ApplicationLifecycle::terminated(process("org.example.Editor", 40, 1)),
                                   ApplicationLifecycle::launched(process("org.example.Viewer", 40, 2))}));
    EXPECT_EQ(catalog->runningProcesses(), std::vector{process("org.example.Viewer", 40, 2)});
}

TEST_F(ApplicationCatalogTest, ActivationMintsAnIdentityForAnUnseenOrReassignedPid) {
    workspace.running = {running("org.example.Editor", 40)};
    catalog->start();
    workspace.post(WorkspaceMessage::didActivateApplication, running("org.example.Viewer", 50));
    workspace.post(WorkspaceMessage::didActivateApplication, running("org.example.Other", 40));
    workspace.post(WorkspaceMessage::didActivateApplication, running("org.example.Other", 40));
    EXPECT_EQ(events, (std::vector{ApplicationLifecycle::activated(process("org.example.Viewer", 50, 2)),
                                   ApplicationLifecycle::activated(process("org.example.Other", 40, 3)),
                                   ApplicationLifecycle::activated(process("org.example.Other", 40, 3))}));
    // Without a valid identifier nothing is published.
    workspace.post(WorkspaceMessage::didActivateApplication, running(std::nullopt, 70));
    workspace.post(WorkspaceMessage::didDeactivateApplication, running("bad", 70));
    workspace.post(WorkspaceMessage::didLaunchApplication, running(std::nullopt, 70));
    EXPECT_EQ(events.size(), 3u);
}

TEST_F(ApplicationCatalogTest, TerminationOfAnUnknownPidOnlyRefreshesTheList) {
    catalog->start();
    calls.clear();
    workspace.post(WorkspaceMessage::didTerminateApplication, running("org.example.Editor", 99));
    EXPECT_EQ(calls, std::vector<std::string>{"change"});
    EXPECT_TRUE(events.empty());
}

TEST_F(ApplicationCatalogTest, FocusFollowsTheEventsAndRunsBeforeTheLifecycleHook) {
    catalog->onLifecycle = [this](const ApplicationLifecycle& event) {
        calls.push_back("lifecycle");
        events.push_back(event);
    };
    catalog->start();
    calls.clear();
    const std::uint64_t start = catalog->focusGeneration();

    // A launch of an application that is not in front changes no focus.
    workspace.post(WorkspaceMessage::didLaunchApplication, running("org.example.Background", 10));
    EXPECT_EQ(calls, (std::vector<std::string>{"change", "lifecycle"}));
    EXPECT_EQ(catalog->focusGeneration(), start);

    // A launch of the frontmost one counts as its activation.
    calls.clear();
    workspace.frontmost = running("org.example.Editor", 20);
    workspace.post(WorkspaceMessage::didLaunchApplication, running("org.example.Editor", 20));
    EXPECT_EQ(calls, (std::vector<std::string>{"change", "focus", "lifecycle"}));
    EXPECT_EQ(catalog->focusGeneration(), start + 1);

    struct Step {
        WorkspaceMessage message;
        RunningApplication application;
        std::uint64_t generation;
    };
    const std::vector<Step> steps = {
        {WorkspaceMessage::didActivateApplication, running("org.example.Editor", 20), start + 1},
        {WorkspaceMessage::didDeactivateApplication, running("org.example.Background", 10), start + 1},
        {WorkspaceMessage::didActivateApplication, running("org.example.Background", 10), start + 2},
        {WorkspaceMessage::didDeactivateApplication, running("org.example.Background", 10), start + 3},
        {WorkspaceMessage::didTerminateApplication, running("org.example.Background", 10), start + 3},
    };
    for (const Step& step : steps) {
        workspace.post(step.message, step.application);
        EXPECT_EQ(catalog->focusGeneration(), step.generation) << events.size();
    }
}

TEST_F(ApplicationCatalogTest, StopClearsAndRaisesFocusWithoutOtherHooksAndRestartCountsOn) {
    workspace.running = {running("org.example.Editor", 40)};
    catalog->start();
    calls.clear();
    const std::uint64_t generation = catalog->focusGeneration();
    catalog->stop();
    EXPECT_EQ(calls, std::vector<std::string>{"focus"});
    EXPECT_EQ(catalog->focusGeneration(), generation + 1);
    EXPECT_TRUE(catalog->runningProcesses().empty());
    EXPECT_TRUE(catalog->applications().empty());
    EXPECT_EQ(workspace.observerCount(), 0u);

    workspace.post(WorkspaceMessage::didLaunchApplication, running("org.example.Viewer", 50));
    EXPECT_TRUE(events.empty());

    catalog->start();
    EXPECT_EQ(catalog->runningProcesses(), std::vector{process("org.example.Editor", 40, 2)});
}

TEST_F(ApplicationCatalogTest, FrontmostComesFromTheSnapshotWhenOneIsGiven) {
    workspace.frontmost = running("org.example.Editor", 40);
    EXPECT_EQ(catalog->frontmostProcess(), process("org.example.Editor", 40, 1));
    workspace.frontmost.reset();
    EXPECT_EQ(catalog->frontmostProcess(), std::nullopt);

    auto substitute =
        ApplicationCatalog::make(workspace, [] { return std::optional(process("org.example.X", 1, 77)); });
    workspace.frontmost = running("org.example.Editor", 40);
    EXPECT_EQ(substitute->frontmostProcess(), process("org.example.X", 1, 77));
    EXPECT_TRUE(substitute->processes().empty());
}

TEST_F(ApplicationCatalogTest, MessagesAfterTheCatalogIsGoneAreIgnored) {
    catalog->start();
    catalog.reset();
    EXPECT_EQ(workspace.observerCount(), 0u);
    workspace.post(WorkspaceMessage::didLaunchApplication, running("org.example.Viewer", 50));
    EXPECT_TRUE(events.empty());
}

TEST_F(ApplicationCatalogTest, InstalledApplicationGivesNameAndIcon) {
    workspace.installed.emplace(
        "org.example.Editor",
        platform::InstalledApplication{QStringLiteral("org.example.Editor"), BundleID("org.example.Editor"),
                                       QStringLiteral("Editor"), QStringLiteral("editor")});
    auto found = catalog->installedApplication(BundleID("org.example.Editor"));
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ(found->name, QStringLiteral("Editor"));
    EXPECT_TRUE(found->icon.has_value());
    EXPECT_FALSE(catalog->installedApplication(BundleID("org.example.Missing")).has_value());
}

platform::InstalledApplication installed(const char* desktopId, std::optional<std::string> id,
                                         const char* name) {
    return platform::InstalledApplication{QString::fromUtf8(desktopId),
                                          id ? std::optional(BundleID(*id)) : std::nullopt,
                                          QString::fromUtf8(name),
                                          {}};
}

TEST_F(ApplicationCatalogTest, ChosenApplicationsAreNamedWithoutAppOnceEachAndSorted) {
    auto task =
        platform::spawn(executor, [catalog = catalog]() -> platform::Async<std::vector<LocalApplication>> {
            co_return co_await catalog->chooseApplications();
        });
    executor.runUntilIdle();
    ASSERT_NE(workspace.chooser(), nullptr);
    EXPECT_TRUE(catalog->choosing());
    workspace.chooser()->answer(
        {Response::ok,
         {installed("zed", "org.example.Zed", "Zed.app"), installed("broken", std::nullopt, "Broken"),
          installed("alpha", "org.example.Alpha", "Alpha"),
          installed("zed-again", "org.example.Zed", "Zed again"),
          installed("app", "org.example.Application", "Application")}});
    const auto chosen = awaitResult(task);
    ASSERT_EQ(chosen.size(), 3u);
    EXPECT_EQ(chosen[0].name, QStringLiteral("Alpha"));
    EXPECT_EQ(chosen[1].name, QStringLiteral("Application"));
    EXPECT_EQ(chosen[2].name, QStringLiteral("Zed"));
    EXPECT_EQ(chosen[2].id, BundleID("org.example.Zed"));
    for (const LocalApplication& application : chosen) {
        EXPECT_TRUE(application.icon.has_value());
    }
    EXPECT_FALSE(catalog->choosing());
    EXPECT_EQ(workspace.chooser(), nullptr); // the finished chooser is gone
}

TEST_F(ApplicationCatalogTest, EveryOtherEndOfTheChoiceGivesNothingAndAnswersOnce) {
    struct Case {
        const char* name;
        std::function<void(ApplicationCatalogTest&)> end;
    };
    const std::vector<Case> cases = {
        {"Cancel",
         [](auto& t) {
             t.workspace.chooser()->answer({Response::cancel, {}});
         }},
        {"cancelSelection",
         [](auto& t) {
             t.catalog->cancelSelection();
         }},
        {"stop",
         [](auto& t) {
             t.catalog->stop();
         }},
        {"catalog destroyed",
         [](auto& t) {
             t.catalog.reset();
         }},
    };
    for (const Case& c : cases) {
        catalog = ApplicationCatalog::make(workspace);
        workspace.answers = 0;
        std::weak_ptr<ApplicationCatalog> weak = catalog;
        auto task = platform::spawn(executor, [weak]() -> platform::Async<std::vector<LocalApplication>> {
            auto catalog = weak.lock();
            auto choice = catalog->chooseApplications();
            catalog.reset(); // the caller's reference ends; the choice must not keep the catalog
            co_return co_await std::move(choice);
        });
        executor.runUntilIdle();
        ASSERT_NE(workspace.chooser(), nullptr) << c.name;
        c.end(*this);
        EXPECT_TRUE(awaitResult(task).empty()) << c.name;
        EXPECT_EQ(workspace.answers, 1) << c.name;
        EXPECT_EQ(workspace.chooser(), nullptr) << c.name;
        if (catalog) {
            EXPECT_FALSE(catalog->choosing()) << c.name;
        }
    }
}

TEST_F(ApplicationCatalogTest, ASecondChoiceWhileOneIsShownGivesNothingAndLeavesTheFirst) {
    auto first =
        platform::spawn(executor, [catalog = catalog]() -> platform::Async<std::vector<LocalApplication>> {
            co_return co_await catalog->chooseApplications();
        });
    executor.runUntilIdle();
    testing::FakeChooser* shown = workspace.chooser();
    EXPECT_TRUE(choose().empty());
    EXPECT_EQ(workspace.choosersMade, 1);
    EXPECT_EQ(workspace.chooser(), shown);

    shown->answer({Response::ok, {installed("alpha", "org.example.Alpha", "Alpha")}});
    EXPECT_EQ(awaitResult(first).size(), 1u);
}

TEST_F(ApplicationCatalogTest, ACancelledTaskShowsNoChooser) {
    auto task =
        platform::spawn(executor, [catalog = catalog]() -> platform::Async<std::vector<LocalApplication>> {
            co_return co_await catalog->chooseApplications();
        });
    task.cancel();
    EXPECT_TRUE(awaitResult(task).empty());
    EXPECT_EQ(workspace.choosersMade, 0);
}

TEST_F(ApplicationCatalogTest, ATaskCancelledWhileChoosingGivesNothing) {
    auto task =
        platform::spawn(executor, [catalog = catalog]() -> platform::Async<std::vector<LocalApplication>> {
            co_return co_await catalog->chooseApplications();
        });
    executor.runUntilIdle();
    task.cancel();
    workspace.chooser()->answer({Response::ok, {installed("alpha", "org.example.Alpha", "Alpha")}});
    EXPECT_TRUE(awaitResult(task).empty());
    EXPECT_FALSE(catalog->choosing());
}

} // namespace
} // namespace tidewright
