#include <gtest/gtest.h>

#include <QLoggingCategory>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "AppHarness.hpp"

namespace tidewright {
namespace {

using namespace fakes;
using Strings = std::vector<std::string>;
using State = FunctioningState::Case;

const ShortcutSet allShortcuts{FixedShortcut::left, FixedShortcut::right, FixedShortcut::up,
                               FixedShortcut::d,    FixedShortcut::down,  FixedShortcut::c};

const Strings stopOrder{"execution.stop",   "trustNotices.stop", "openingRules.stop", "openAtLogin.stop",
                        "preferences.stop", "permissions.stop",  "hotkeys.stop",      "catalog.stop"};

TEST(AppModelConstruction, DecidesOnceWithTheSummaryAndAnUnknownPermission) {
    const struct {
        const char* name;
        PreferenceSummary summary;
        State state;
    } cases[] = {
        {"on", switchSummary(true), State::needsPermissions},
        {"off", switchSummary(false), State::off},
        {"unavailable", unavailableSummary(), State::needsPreferences},
    };
    for (const auto& c : cases) {
        Harness h(c.summary);
        const TidewrightAppModel& model = *h.model;
        EXPECT_EQ(model.decision().state.kind(), c.state) << c.name;
        EXPECT_TRUE(model.decision().desiredShortcuts.empty()) << c.name;
        EXPECT_FALSE(model.decision().rulesAllowed) << c.name;
        EXPECT_EQ(model.preferences(), c.summary) << c.name;
        EXPECT_EQ(model.permissions(), WindowPermissions{PermissionState::unknown}) << c.name;
        EXPECT_TRUE(model.issues().empty()) << c.name;
        EXPECT_EQ(model.welcomeOpenings(), 0) << c.name;
        EXPECT_EQ(model.generation(), 0u) << c.name;
        EXPECT_FALSE(model.running()) << c.name;
        EXPECT_FALSE(model.permissionReadCompleted()) << c.name;
        // Built, wired, and nothing started or read yet.
        EXPECT_TRUE(h.log.empty()) << c.name;
        EXPECT_EQ(h.executionsBuilt, 1) << c.name;
        EXPECT_TRUE(h.preferences->onChange && h.permissions->onChange && h.hotkeys->onShortcut &&
                    h.hotkeys->onChange && h.openAtLogin->onResult && h.catalog->onChange &&
                    h.catalog->onFocusChange && h.catalog->onLifecycle)
            << c.name;
    }
}

TEST(AppModelConstruction, RefusesAMissingService) {
    CallLog log;
    TidewrightAppModel::Services services;
    services.preferences = std::make_shared<FakePreferences>(log, switchSummary(true));
    services.permissions = std::make_shared<FakePermissions>(log);
    EXPECT_THROW(TidewrightAppModel::make(services), std::invalid_argument);
}

TEST(AppModelStart, StartsEveryServiceInOrderOnce) {
    Harness h;
    h.catalog->processes = {process("org.example.B", 30, 2), process("org.example.A", 12, 7),
                            process("org.example.C", 30, 1)};
    h.model->start();
    EXPECT_EQ(h.log, (Strings{"openingRules.start", "openAtLogin.start", "preferences.start", "catalog.start",
                              "permissions.refresh", "hotkeys.apply(0)", "execution.factsChanged",
                              "openingRules.apply", "execution.start", "trustNotices.start"}));
    EXPECT_TRUE(h.model->running());
    EXPECT_TRUE(h.model->presentation().running());
    // Sorted by pid, then incarnation.
    const std::vector<ProcessID> sorted{process("org.example.A", 12, 7), process("org.example.C", 30, 1),
                                        process("org.example.B", 30, 2)};
    ASSERT_EQ(h.execution->started.size(), 1u);
    EXPECT_EQ(h.execution->started.front(), sorted);
    EXPECT_EQ(h.execution->changes.back(), sorted);

    const std::size_t before = h.log.size();
    const std::uint64_t generation = h.model->generation();
    h.model->start();
    EXPECT_EQ(h.logSince(before), Strings{});
    EXPECT_EQ(h.model->generation(), generation);
}

TEST(AppModelStart, AStartAfterAStopStartsEverythingAgainAndWaitsForANewRead) {
    Harness h;
    h.startWith(PermissionState::granted);
    EXPECT_TRUE(h.model->permissionReadCompleted());
    h.model->stop();
    const std::size_t before = h.log.size();
    h.model->start();
    EXPECT_FALSE(h.model->permissionReadCompleted());
    EXPECT_EQ(h.logSince(before).front(), "openingRules.start");
    EXPECT_EQ(h.logSince(before).back(), "trustNotices.start");
    EXPECT_EQ(h.execution->started.size(), 2u);
}

TEST(AppModelStop, StopsEveryServiceInOrderEachTimeAndRaisesTheGeneration) {
    const struct {
        const char* name;
        bool startFirst;
    } cases[] = {{"never started", false}, {"after start", true}};
    for (const auto& c : cases) {
        Harness h;
        if (c.startFirst) {
            h.startWith(PermissionState::granted);
        }
        const std::uint64_t generation = h.model->generation();
        const std::size_t before = h.log.size();
        h.model->stop();
        EXPECT_EQ(h.logSince(before), stopOrder) << c.name;
        EXPECT_FALSE(h.model->running()) << c.name;
        EXPECT_FALSE(h.model->presentation().running()) << c.name;
        h.model->stop();
        EXPECT_EQ(h.model->generation(), generation + 2) << c.name;
        EXPECT_EQ(h.log.size(), before + 2 * stopOrder.size()) << c.name;
    }
}

TEST(AppModelStop, DestroyingTheModelStopsEveryService) {
    Harness h;
    h.startWith(PermissionState::granted);
    const std::size_t before = h.log.size();
    h.model.reset();
    EXPECT_EQ(h.logSince(before), stopOrder);
}

TEST(AppModelFacts, OpeningFactsFollowTheRunningStateAndTheDecision) {
    const BundleID app("org.example.Editor");
    const struct {
        const char* name;
        bool start;
        bool on;
        PermissionState permission;
        bool stopAfterwards;
        bool allowed;
    } cases[] = {
        {"built", false, true, PermissionState::granted, false, false},
        {"running and granted", true, true, PermissionState::granted, false, true},
        {"running, switched off", true, false, PermissionState::granted, false, false},
        {"running, denied", true, true, PermissionState::denied, false, false},
        {"stopped", true, true, PermissionState::granted, true, false},
    };
    for (const auto& c : cases) {
        Harness h(switchSummary(c.on, {{app, OpeningAction::maximize}}));
        h.catalog->frontmost = process("org.example.Editor", 77);
        if (c.start) {
            h.startWith(c.permission);
        } else {
            h.permissions->current = WindowPermissions{c.permission};
        }
        if (c.stopAfterwards) {
            h.model->stop();
            // The hot keys were withdrawn by the stop; the facts still read them afresh.
        }
        const OpeningObservationFacts facts = h.model->openingFacts();
        EXPECT_EQ(facts.operationAllowed, c.allowed) << c.name;
        EXPECT_EQ(facts.generation, h.model->generation()) << c.name;
        EXPECT_EQ(facts.frontmost, process("org.example.Editor", 77)) << c.name;
        // The rules are handed on whatever the decision says; operationAllowed gates them.
        EXPECT_EQ(facts.rules, (std::unordered_map<BundleID, OpeningAction>{{app, OpeningAction::maximize}}))
            << c.name;
        // The execution owner's facts hook answers the same.
        EXPECT_EQ(h.execution->hooks.facts(), facts) << c.name;
    }
}

TEST(AppModelFacts, TheHooksAnswerTheFallbackOnceTheModelIsGone) {
    Harness h;
    h.catalog->processes = {process("org.example.A", 3)};
    h.catalog->frontmost = process("org.example.A", 3);
    h.startWith(PermissionState::granted);
    WindowExecutionHooks hooks = h.execution->hooks;
    EXPECT_TRUE(hooks.facts().operationAllowed);
    EXPECT_EQ(hooks.processes().size(), 1u);

    h.model.reset();
    EXPECT_EQ(hooks.facts(), OpeningObservationFacts{});
    EXPECT_TRUE(hooks.processes().empty());

    std::optional<bool> authorized;
    auto task = platform::spawn(h.executor, [&hooks, &authorized]() -> platform::Async<> {
        authorized = co_await hooks.authorize();
    });
    h.executor.runUntilIdle();
    EXPECT_EQ(authorized, false);

    // Late callbacks of the services reach nothing.
    const std::size_t before = h.log.size();
    hooks.completed(WindowOperationOutcome::unconfirmed());
    h.preferences->change(switchSummary(false));
    h.permissions->complete(PermissionState::denied);
    h.hotkeys->onShortcut(FixedShortcut::left);
    h.hotkeys->onChange();
    h.catalog->onChange();
    h.catalog->onFocusChange();
    h.catalog->onLifecycle(ApplicationLifecycle::deactivated(process("org.example.Settings", 9)));
    h.openAtLogin->onResult(false);
    h.trustNotices->handler();
    EXPECT_EQ(h.logSince(before), Strings{});
}

// Authorisation runs in a task while the permission service reads in tasks of its own.
struct AuthorizeRun {
    std::optional<bool> result;
    std::optional<platform::Task<>> task;
};

void authorizeIn(Harness& h, AuthorizeRun& run) {
    TidewrightAppModel* model = h.model.get();
    std::optional<bool>* result = &run.result;
    run.task = platform::spawn(h.executor, [model, result]() -> platform::Async<> {
        *result = co_await model->authorizeExecution();
    });
    h.executor.runUntilIdle();
}

TEST(AppModelAuthorization, WaitsForThePermissionReadAndRefusesWhenAnythingMoved) {
    const struct {
        const char* name;
        // Runs while the authorisation waits for its read.
        std::function<void(Harness&)> duringWait;
        bool trusted;
        bool authorized;
        int reads; // reads the authorisation waits for; a stopped service's read still ends
    } cases[] = {
        {"the same permission", {}, true, true, 1},
        {"the permission withdrawn", {}, false, false, 1},
        {"the frontmost application changed", [](Harness& h) { h.catalog->onFocusChange(); }, true, false, 1},
        {"the model stopped", [](Harness& h) { h.model->stop(); }, true, false, 1},
        {"the switch turned off", [](Harness& h) { h.preferences->change(switchSummary(false)); }, true,
         false, 1},
        {"another read asked for", [](Harness& h) { h.permissions->refresh(); }, true, true, 2},
    };
    for (const auto& c : cases) {
        Harness h(switchSummary(true), /*liveReads=*/true);
        h.startWith(PermissionState::granted);
        ASSERT_EQ(h.model->decision().state.kind(), State::running) << c.name;
        const int refreshes = h.permissions->refreshes;

        AuthorizeRun run;
        authorizeIn(h, run);
        EXPECT_EQ(h.permissions->refreshes, refreshes + 1) << c.name;
        ASSERT_EQ(h.permissions->waitingReads(), 1u) << c.name;
        if (c.duringWait) {
            c.duringWait(h);
        }
        for (int read = 0; read < c.reads; ++read) {
            EXPECT_FALSE(run.result.has_value()) << c.name << ": answered before read " << read;
            ASSERT_EQ(h.permissions->waitingReads(), 1u) << c.name;
            h.permissions->answer(c.trusted);
            h.executor.runUntilIdle();
        }
        EXPECT_EQ(run.result, c.authorized) << c.name;
    }
}

TEST(AppModelAuthorization, RefusesAtOnceWhenNotRunningOrCancelled) {
    const struct {
        const char* name;
        bool start;
        bool cancel;
    } cases[] = {{"built", false, false}, {"cancelled", true, true}};
    for (const auto& c : cases) {
        Harness h(switchSummary(true), /*liveReads=*/true);
        if (c.start) {
            h.startWith(PermissionState::granted);
        }
        const int refreshes = h.permissions->refreshes;
        std::optional<bool> result;
        TidewrightAppModel* model = h.model.get();
        std::optional<bool>* out = &result;
        auto task = platform::spawn(
            h.executor, [model, out]() -> platform::Async<> { *out = co_await model->authorizeExecution(); });
        if (c.cancel) {
            task.cancel();
        }
        h.executor.runUntilIdle();
        EXPECT_EQ(result, false) << c.name;
        EXPECT_EQ(h.permissions->refreshes, refreshes) << c.name;
    }
}

TEST(AppModelReconcile, RaisesTheGenerationOnlyWhenTheDecisionSummaryOrPermissionChanged) {
    const BundleID app("org.example.Editor");
    const struct {
        const char* name;
        std::function<void(Harness&)> change;
        bool rises;
        State state;
        std::size_t desired; // the desired set handed to the hot keys
    } cases[] = {
        {"nothing", [](Harness& h) { h.hotkeys->onChange(); }, false, State::running, 6},
        {"the same permission read again",
         [](Harness& h) { h.permissions->complete(PermissionState::granted); }, false, State::running, 6},
        {"the permission withdrawn", [](Harness& h) { h.permissions->complete(PermissionState::denied); },
         true, State::needsPermissions, 0},
        {"the switch turned off", [](Harness& h) { h.preferences->change(switchSummary(false)); }, true,
         State::off, 0},
        {"a rule added",
         [app](Harness& h) {
             h.preferences->change(switchSummary(true, {{app, OpeningAction::center}}));
         },
         true, State::running, 6},
        {"the preferences unusable", [](Harness& h) { h.preferences->change(unavailableSummary()); }, true,
         State::needsPreferences, 0},
    };
    for (const auto& c : cases) {
        Harness h;
        h.startWith(PermissionState::granted);
        const std::uint64_t generation = h.model->generation();
        int preferenceNotices = 0, permissionNotices = 0, decisionNotices = 0;
        auto a = h.model->observePreferences([&](const PreferenceSummary&) { ++preferenceNotices; });
        auto b = h.model->observePermissions([&](const WindowPermissions&) { ++permissionNotices; });
        auto d = h.model->observeDecision([&](const AppDecision&) { ++decisionNotices; });
        const std::size_t applied = h.hotkeys->applied.size();

        c.change(h);
        EXPECT_EQ(h.model->generation(), generation + (c.rises ? 1 : 0)) << c.name;
        EXPECT_EQ(h.model->decision().state.kind(), c.state) << c.name;
        ASSERT_EQ(h.hotkeys->applied.size(), applied + 1) << c.name;
        EXPECT_EQ(h.hotkeys->applied.back().size(), c.desired) << c.name;
        if (!c.rises) {
            EXPECT_EQ(preferenceNotices + permissionNotices + decisionNotices, 0) << c.name;
        }
        // Every reconcile hands the processes and the rules on.
        EXPECT_EQ(h.openingRules->applied, h.model->preferences().usableRules()) << c.name;
        EXPECT_EQ(h.execution->factsSeen.back().generation, h.model->generation()) << c.name;
    }
}

TEST(AppModelReconcile, TheStoredDecisionReflectsTheRegistrationsTheDesiredSetProduced) {
    Harness h;
    h.hotkeys->refused = {FixedShortcut::c};
    h.startWith(PermissionState::granted);
    const AppDecision& decision = h.model->decision();
    EXPECT_EQ(decision.state.kind(), State::running);
    EXPECT_EQ(decision.desiredShortcuts, allShortcuts);
    EXPECT_EQ(decision.conflictingShortcuts, ShortcutSet{FixedShortcut::c});
    EXPECT_EQ(decision.usableShortcuts.size(), 5u);
    EXPECT_EQ(decision.operatingIndicator(), OperatingIndicator::attention);

    // The screen reader comes: the service withdrew everything and reports it.
    const std::uint64_t generation = h.model->generation();
    h.hotkeys->current.clear();
    h.hotkeys->refused = {};
    h.hotkeys->onChange();
    EXPECT_EQ(h.model->generation(), generation + 1);
    EXPECT_EQ(h.model->decision().usableShortcuts, allShortcuts);
}

TEST(AppModelReconcile, DoesNothingWhileStopped) {
    Harness h;
    h.startWith(PermissionState::granted);
    h.model->stop();
    const std::size_t before = h.log.size();
    const std::uint64_t generation = h.model->generation();
    h.preferences->change(switchSummary(false));
    h.permissions->complete(PermissionState::denied);
    h.hotkeys->onChange();
    EXPECT_EQ(h.logSince(before), Strings{});
    EXPECT_EQ(h.model->generation(), generation);
    EXPECT_EQ(h.model->decision().state.kind(), State::running);
}

TEST(AppModelShortcuts, HandsOnlyUsableShortcutsWhileRunning) {
    const struct {
        const char* name;
        bool stop;
        FixedShortcut shortcut;
        bool performed;
    } cases[] = {
        {"usable", false, FixedShortcut::left, true},
        {"refused by the system", false, FixedShortcut::c, false},
        {"after stop", true, FixedShortcut::left, false},
    };
    for (const auto& c : cases) {
        Harness h;
        h.hotkeys->refused = {FixedShortcut::c};
        h.startWith(PermissionState::granted);
        if (c.stop) {
            h.model->stop();
        }
        h.hotkeys->onShortcut(c.shortcut);
        EXPECT_EQ(h.execution->performed,
                  c.performed ? std::vector{c.shortcut} : std::vector<FixedShortcut>{})
            << c.name;
    }
}

TEST(AppModelIssues, WindowOutcomesRaiseOrResolveTheOperationIssue) {
    const DesktopFrame frame{DesktopPoint{Points(0), Points(0)}, WindowSize{Points(400), Points(300)}};
    const struct {
        const char* name;
        WindowOperationOutcome outcome;
        bool raisedAfterAbsent;
        bool raisedAfterPresent;
    } cases[] = {
        {"observed", WindowOperationOutcome::observed(frame), false, false},
        {"failed: construction", WindowOperationOutcome::failed(WindowOperationFailure::construction(-1)),
         true, true},
        {"failed: transport", WindowOperationOutcome::failed(WindowOperationFailure::transport(-25204)), true,
         true},
        {"failed: remote", WindowOperationOutcome::failed(WindowOperationFailure::remote(-25200)), true,
         true},
        {"failed: geometry",
         WindowOperationOutcome::failed(
             WindowOperationFailure::geometry(GeometryError{GeometryError::Kind::noScreens})),
         true, true},
        {"failed: malformed", WindowOperationOutcome::failed(WindowOperationFailure::malformedResponse()),
         true, true},
        {"failed: deadline", WindowOperationOutcome::failed(WindowOperationFailure::deadlineExceeded()), true,
         true},
        {"failed: invalidated", WindowOperationOutcome::failed(WindowOperationFailure::invalidated()), true,
         true},
        {"failed: no unique window",
         WindowOperationOutcome::failed(WindowOperationFailure::noUniqueEligibleWindow()), false, true},
        {"unconfirmed", WindowOperationOutcome::unconfirmed(), true, true},
        {"blocked", WindowOperationOutcome::blocked(), false, true},
        {"already pending", WindowOperationOutcome::alreadyPending(), false, true},
        {"invalidated", WindowOperationOutcome::invalidated(), false, true},
    };
    for (const auto& c : cases) {
        for (const bool present : {false, true}) {
            Harness h;
            // Outcomes change the issues whether or not the model runs.
            h.model->raiseIssue(TidewrightIssue::login);
            if (present) {
                h.model->raiseIssue(TidewrightIssue::operation);
            }
            h.execution->hooks.completed(c.outcome);
            const bool raised = present ? c.raisedAfterPresent : c.raisedAfterAbsent;
            std::vector<TidewrightIssue> expected{TidewrightIssue::login};
            if (raised) {
                expected.push_back(TidewrightIssue::operation);
            }
            EXPECT_EQ(h.model->issues(), expected) << c.name << (present ? " (issue present)" : "");
        }
    }
}

// A key that did nothing says why in a debug log: every outcome is logged, a failure with its case
// and code.
TEST(AppModelIssues, EveryOutcomeIsLoggedAtDebugLevel) {
    static Strings* captured = nullptr;
    Strings lines;
    captured = &lines;
    QLoggingCategory::setFilterRules(QStringLiteral("app.corbelthane.tidewright.app.debug=true"));
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (type == QtDebugMsg && context.category != nullptr &&
                std::string_view(context.category) == "app.corbelthane.tidewright.app") {
                captured->push_back(message.toStdString());
            }
        });
    {
        Harness h;
        h.execution->hooks.completed(WindowOperationOutcome::failed(WindowOperationFailure::transport(-25204)));
        h.execution->hooks.completed(WindowOperationOutcome::unconfirmed());
        h.execution->hooks.completed(WindowOperationOutcome::failed(WindowOperationFailure::noUniqueEligibleWindow()));
    }
    qInstallMessageHandler(previous);
    QLoggingCategory::setFilterRules(QString());
    captured = nullptr;
    EXPECT_EQ(lines, (Strings{"window action failed: transport -25204", "window action unconfirmed",
                              "window action failed: noUniqueEligibleWindow 0"}));
}

TEST(AppModelIssues, ThePreferencesIssueFollowsTheSummaryNotices) {
    const struct {
        const char* name;
        PreferenceSummary summary;
        bool raised;
    } cases[] = {
        {"no notice", switchSummary(true), false},
        {"an unavailable account only", summaryWithNotices({PreferenceIssue::accountUnavailable}), false},
        {"an unusable switch", unavailableSummary(), true},
        {"a damaged rule key", summaryWithNotices({PreferenceIssue::invalidPayload}), true},
        {"an unavailable account and a full store",
         summaryWithNotices({PreferenceIssue::accountUnavailable, PreferenceIssue::storageLimit}), true},
    };
    for (const auto& c : cases) {
        Harness h;
        h.startWith(PermissionState::granted);
        h.preferences->change(c.summary);
        const bool present = h.model->issues() == std::vector{TidewrightIssue::preferences};
        EXPECT_EQ(present, c.raised) << c.name;
        // A summary without such notices resolves it again.
        h.preferences->change(switchSummary(true));
        EXPECT_TRUE(h.model->issues().empty()) << c.name;
    }
}

TEST(AppModelIssues, RaiseKeepsOneAndResolveAlwaysNotifies) {
    Harness h;
    int notices = 0;
    auto subscription = h.model->observeIssues([&](const std::vector<TidewrightIssue>&) { ++notices; });
    h.model->raiseIssue(TidewrightIssue::settings);
    h.model->raiseIssue(TidewrightIssue::login);
    h.model->raiseIssue(TidewrightIssue::settings);
    EXPECT_EQ(h.model->issues(), (std::vector{TidewrightIssue::settings, TidewrightIssue::login}));
    EXPECT_EQ(notices, 2);
    h.model->resolveIssue(TidewrightIssue::operation);
    EXPECT_EQ(notices, 3);
    h.model->resolveIssue(TidewrightIssue::settings);
    EXPECT_EQ(h.model->issues(), std::vector{TidewrightIssue::login});
    EXPECT_EQ(notices, 4);
}

TEST(AppModelIssues, LoginResultsAndSettingsOpeningsRaiseOrResolveTheirIssues) {
    Harness h;
    h.openAtLogin->onResult(false);
    EXPECT_EQ(h.model->issues(), std::vector{TidewrightIssue::login});
    h.openAtLogin->onResult(true);
    EXPECT_TRUE(h.model->issues().empty());

    // Settings are opened only while running.
    h.model->perform(TidewrightPresentationAction::systemSettings);
    EXPECT_EQ(std::count(h.log.begin(), h.log.end(), "settings.open"), 0);
    h.startWith(PermissionState::granted);
    h.settings->opens = false;
    h.model->perform(TidewrightPresentationAction::systemSettings);
    EXPECT_EQ(h.model->issues(), std::vector{TidewrightIssue::settings});
    h.settings->opens = true;
    h.model->perform(TidewrightPresentationAction::systemSettings);
    EXPECT_TRUE(h.model->issues().empty());
}

TEST(AppModelEvents, LifecycleEventsReachTheOwnerAndLeavingTheSettingsRefreshes) {
    const Strings refreshes{"permissions.refresh", "preferences.refresh", "openAtLogin.refresh"};
    const struct {
        const char* name;
        ApplicationLifecycle event;
        bool running;
        bool refreshed;
    } cases[] = {
        {"settings deactivated", ApplicationLifecycle::deactivated(process("org.example.Settings", 5)), true,
         true},
        {"settings deactivated, stopped",
         ApplicationLifecycle::deactivated(process("org.example.Settings", 5)), false, false},
        {"settings activated", ApplicationLifecycle::activated(process("org.example.Settings", 5)), true,
         false},
        {"settings launched", ApplicationLifecycle::launched(process("org.example.Settings", 5)), true,
         false},
        {"settings terminated", ApplicationLifecycle::terminated(process("org.example.Settings", 5)), true,
         false},
        {"another application deactivated",
         ApplicationLifecycle::deactivated(process("org.example.Editor", 6)), true, false},
    };
    for (const auto& c : cases) {
        Harness h;
        if (c.running) {
            h.startWith(PermissionState::granted);
        }
        const std::size_t before = h.log.size();
        h.catalog->onLifecycle(c.event);
        Strings expected{"execution.receive"};
        if (c.refreshed) {
            expected.insert(expected.end(), refreshes.begin(), refreshes.end());
        }
        EXPECT_EQ(h.logSince(before), expected) << c.name;
        ASSERT_EQ(h.execution->received.size(), 1u) << c.name;
        EXPECT_EQ(h.execution->received.front().first, c.event) << c.name;
        EXPECT_EQ(h.execution->received.front().second, h.now) << c.name;
    }
}

TEST(AppModelEvents, WithoutAKnownSettingsApplicationNothingRefreshes) {
    Harness h;
    h.settings->identity.reset();
    h.startWith(PermissionState::granted);
    const std::size_t before = h.log.size();
    h.catalog->onLifecycle(ApplicationLifecycle::deactivated(process("org.example.Settings", 5)));
    EXPECT_EQ(h.logSince(before), Strings{"execution.receive"});
}

TEST(AppModelEvents, CatalogChangesReachTheOwnerAndTheRulesWhetherOrNotRunning) {
    for (const bool running : {false, true}) {
        Harness h;
        h.catalog->processes = {process("org.example.B", 9), process("org.example.A", 4)};
        if (running) {
            h.startWith(PermissionState::granted);
        }
        const std::uint64_t generation = h.model->generation();
        const std::size_t before = h.log.size();
        h.catalog->onFocusChange();
        h.catalog->onChange();
        EXPECT_EQ(h.logSince(before), (Strings{"execution.factsChanged", "openingRules.refresh"}));
        EXPECT_EQ(h.model->generation(), generation + 1);
        EXPECT_EQ(h.execution->changes.back(),
                  (std::vector{process("org.example.A", 4), process("org.example.B", 9)}));
    }
}

TEST(AppModelEvents, TrustNoticesRefreshThePermissionOnlyWhileRunning) {
    Harness h;
    h.startWith(PermissionState::granted);
    std::size_t before = h.log.size();
    h.trustNotices->handler();
    EXPECT_EQ(h.logSince(before), Strings{"permissions.refresh"});
    h.model->stop();
    before = h.log.size();
    h.trustNotices->handler();
    EXPECT_EQ(h.logSince(before), Strings{});
}

TEST(AppModelEvents, ClosingThePreferencesDropsTheirRequestsOnly) {
    Harness h;
    h.startWith(PermissionState::granted);
    const std::size_t before = h.log.size();
    h.model->cancelPreferencesRequests();
    EXPECT_EQ(h.logSince(before), (Strings{"openingRules.cancelChooser", "catalog.cancelSelection",
                                           "permissions.cancelRequest(preferences)"}));
}

} // namespace
} // namespace tidewright
