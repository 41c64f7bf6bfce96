#pragma once
// Fakes of every service the app model drives. Each writes what it is asked into one shared log,
// so that a test can check the order of calls across services.

#include <algorithm>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/concurrency/Continuation.hpp"
#include "platform/concurrency/Executor.hpp"
#include "platform/observation/Observable.hpp"
#include "tidewright/app/AppServices.hpp"
#include "tidewright/app/TidewrightAppModel.hpp"
#include "tidewright/app/TidewrightWindowPresenting.hpp"
#include "tidewright/app/WelcomeHistoryStoring.hpp"
#include "tidewright/applications/ApplicationCatalogReading.hpp"

namespace tidewright::fakes {

using CallLog = std::vector<std::string>;

class FakePreferences final : public PreferenceRepositoryDriving {
public:
    FakePreferences(CallLog& log, PreferenceSummary summary) : current(std::move(summary)), log_(log) {}
    PreferenceSummary summary() const override { return current; }
    void start() override { log_.push_back("preferences.start"); }
    void refresh() override { log_.push_back("preferences.refresh"); }
    void stop() override { log_.push_back("preferences.stop"); }
    void apply(const PreferenceEdit& edit) override {
        switch (edit.kind()) {
        case PreferenceEdit::Kind::enabled:
            log_.push_back(std::string("preferences.apply(enabled ") + (edit.value() ? "true" : "false") + ")");
            break;
        case PreferenceEdit::Kind::rule:
            log_.push_back("preferences.apply(rule " + edit.app()->rawValue() + ")");
            break;
        case PreferenceEdit::Kind::removeRule:
            log_.push_back("preferences.apply(removeRule " + edit.app()->rawValue() + ")");
            break;
        }
    }
    // A new summary, reported as the repository reports one.
    void change(PreferenceSummary summary) {
        current = std::move(summary);
        if (onChange) {
            onChange();
        }
    }

    PreferenceSummary current;

private:
    CallLog& log_;
};

// Reads as the real service does: one read task at a time, a refresh during a read asks for one
// more after it, every completed read reports. Without an executor refresh() only logs, and a test
// completes reads with complete(). With one, each read waits until the test answers it.
class FakePermissions final : public PermissionServiceDriving {
public:
    explicit FakePermissions(CallLog& log, platform::Executor* executor = nullptr)
        : log_(log), executor_(executor) {}

    WindowPermissions permissions() const override { return current; }
    void refresh() override {
        log_.push_back("permissions.refresh");
        ++refreshes;
        if (!executor_) {
            return;
        }
        if (task_) {
            again_ = true;
            return;
        }
        startRead();
    }
    const std::optional<platform::Task<>>& task() const override { return task_; }
    void request(RequestOwner owner) override {
        log_.push_back(owner == RequestOwner::welcome ? "permissions.request(welcome)"
                                                      : "permissions.request(preferences)");
    }
    void cancelRequest(RequestOwner owner) override {
        log_.push_back(owner == RequestOwner::welcome ? "permissions.cancelRequest(welcome)"
                                                      : "permissions.cancelRequest(preferences)");
    }
    void stop() override {
        log_.push_back("permissions.stop");
        ++epoch_;
        task_.reset();
        again_ = false;
    }

    // A completed read without a task, as reported to the model.
    void complete(PermissionState state) {
        current = WindowPermissions{state};
        if (onChange) {
            onChange();
        }
    }
    // Answers the oldest read that waits. REQUIRES: one waits.
    void answer(bool trusted) {
        const platform::Continuation<bool> read = reads_.front();
        reads_.pop_front();
        read.resume(trusted);
    }
    std::size_t waitingReads() const { return reads_.size(); }

    WindowPermissions current{PermissionState::unknown};
    int refreshes = 0;

private:
    void startRead() {
        again_ = false;
        task_ = platform::spawn(*executor_, [this, epoch = epoch_]() -> platform::Async<> {
            const bool trusted = co_await platform::withContinuation<bool>(
                "fake permission read",
                [this](platform::Continuation<bool> read) { reads_.push_back(read); });
            if (epoch != epoch_) {
                co_return;
            }
            current = WindowPermissions{trusted ? PermissionState::granted : PermissionState::denied};
            task_.reset();
            if (again_) {
                startRead();
            }
            if (onChange) {
                onChange();
            }
        });
    }

    CallLog& log_;
    platform::Executor* executor_;
    std::optional<platform::Task<>> task_;
    std::deque<platform::Continuation<bool>> reads_;
    std::uint64_t epoch_ = 0;
    bool again_ = false;
};

class FakeHotkeys final : public HotkeyServiceDriving {
public:
    explicit FakeHotkeys(CallLog& log) : log_(log) {}
    const Registrations& registrations() const override { return current; }
    void apply(const std::unordered_set<FixedShortcut>& desired) override {
        log_.push_back("hotkeys.apply(" + std::to_string(desired.size()) + ")");
        applied.push_back(desired);
        current.clear();
        for (const FixedShortcut shortcut : desired) {
            current[shortcut] = refused.contains(shortcut) ? ShortcutRegistration::unavailable
                                                           : ShortcutRegistration::registered;
        }
    }
    void stop() override {
        log_.push_back("hotkeys.stop");
        current.clear();
    }
    Registrations current;
    std::unordered_set<FixedShortcut> refused;
    std::vector<std::unordered_set<FixedShortcut>> applied;

private:
    CallLog& log_;
};

class FakeCatalog final : public ApplicationCatalogReading {
public:
    explicit FakeCatalog(CallLog& log) : log_(log) {}
    const std::vector<LocalApplication>& applications() const override { return applications_; }
    std::vector<ProcessID> runningProcesses() const override { return processes; }
    std::optional<ProcessID> frontmostProcess() override { return frontmost; }
    std::uint64_t focusGeneration() const override { return 0; }
    std::optional<LocalApplication> installedApplication(const BundleID&) const override {
        return std::nullopt;
    }
    void start() override { log_.push_back("catalog.start"); }
    void stop() override { log_.push_back("catalog.stop"); }
    void cancelSelection() override { log_.push_back("catalog.cancelSelection"); }
    platform::Async<std::vector<LocalApplication>> chooseApplications() override { co_return {}; }

    // Deliberately unsorted where a test wants to see the model sort them.
    std::vector<ProcessID> processes;
    std::optional<ProcessID> frontmost;

private:
    CallLog& log_;
    std::vector<LocalApplication> applications_;
};

class FakeOpeningRules final : public OpeningRulesDriving {
public:
    explicit FakeOpeningRules(CallLog& log) : log_(log) {}
    void start() override { log_.push_back("openingRules.start"); }
    void stop() override { log_.push_back("openingRules.stop"); }
    void apply(std::map<BundleID, OpeningAction> rules) override {
        log_.push_back("openingRules.apply");
        applied = rules;
    }
    void refresh() override { log_.push_back("openingRules.refresh"); }
    void cancelChooser() override { log_.push_back("openingRules.cancelChooser"); }
    const std::vector<TidewrightRulePresentation>& rules() const override { return ruleList; }
    const std::vector<TidewrightOpenAppPresentation>& openApps() const override { return openAppList; }
    platform::Subscription observeLists(std::function<void()> observer) override {
        return rebuilds_.subscribe([observer = std::move(observer)](const int&) { observer(); });
    }
    void addRule(const BundleID& app) override {
        log_.push_back("openingRules.addRule(" + app.rawValue() + ")");
    }
    void setAction(const BundleID& app, OpeningAction action) override {
        log_.push_back("openingRules.setAction(" + app.rawValue() + ", " +
                       (action == OpeningAction::center ? "center" : "maximize") + ")");
    }
    void removeRule(const BundleID& app) override {
        log_.push_back("openingRules.removeRule(" + app.rawValue() + ")");
    }
    void presentChooser() override { log_.push_back("openingRules.presentChooser"); }

    // New lists, reported as the model reports a rebuild.
    void rebuild(std::vector<TidewrightRulePresentation> rules,
                 std::vector<TidewrightOpenAppPresentation> apps) {
        ruleList = std::move(rules);
        openAppList = std::move(apps);
        rebuilds_.notify();
    }

    std::optional<std::map<BundleID, OpeningAction>> applied;
    std::vector<TidewrightRulePresentation> ruleList;
    std::vector<TidewrightOpenAppPresentation> openAppList;

private:
    CallLog& log_;
    platform::Observable<int> rebuilds_{0};
};

class FakeOpenAtLogin final : public OpenAtLoginDriving {
public:
    explicit FakeOpenAtLogin(CallLog& log) : log_(log) {}
    void start() override { log_.push_back("openAtLogin.start"); }
    void stop() override { log_.push_back("openAtLogin.stop"); }
    void refresh() override { log_.push_back("openAtLogin.refresh"); }
    LoginState loginState() const override { return state.value(); }
    platform::Subscription observeState(std::function<void(const LoginState&)> observer) override {
        return state.subscribe(std::move(observer));
    }
    void requestChange(bool enabled) override {
        log_.push_back(enabled ? "openAtLogin.requestChange(true)" : "openAtLogin.requestChange(false)");
    }

    platform::Observable<LoginState> state{LoginState::disabled};

private:
    CallLog& log_;
};

class FakeTrustNotices final : public TrustNoticesDriving {
public:
    explicit FakeTrustNotices(CallLog& log) : log_(log) {}
    void start(std::function<void()> hook) override {
        log_.push_back("trustNotices.start");
        handler = std::move(hook);
    }
    void stop() override { log_.push_back("trustNotices.stop"); }

    // The handler outlives stop(), as the live notices' pending waits do.
    std::function<void()> handler;

private:
    CallLog& log_;
};

class FakeSettings final : public SystemSettingsOpening {
public:
    explicit FakeSettings(CallLog& log) : log_(log) {}
    bool open() override {
        log_.push_back("settings.open");
        return opens;
    }
    std::optional<BundleID> application() const override { return identity; }

    bool opens = true;
    std::optional<BundleID> identity = BundleID("org.example.Settings");

private:
    CallLog& log_;
};

class FakeExecution final : public WindowExecutionDriving {
public:
    FakeExecution(CallLog& log, WindowExecutionHooks given) : hooks(std::move(given)), log_(log) {}
    void start(std::vector<ProcessID> processes) override {
        log_.push_back("execution.start");
        started.push_back(processes);
    }
    void stop() override { log_.push_back("execution.stop"); }
    void factsChanged(std::vector<ProcessID> processes) override {
        log_.push_back("execution.factsChanged");
        changes.push_back(processes);
        factsSeen.push_back(hooks.facts());
    }
    void perform(FixedShortcut shortcut) override {
        log_.push_back("execution.perform");
        performed.push_back(shortcut);
    }
    void receive(ApplicationLifecycle event, platform::ContinuousInstant at) override {
        log_.push_back("execution.receive");
        received.emplace_back(event, at);
    }

    WindowExecutionHooks hooks;
    std::vector<std::vector<ProcessID>> started;
    std::vector<std::vector<ProcessID>> changes;
    std::vector<OpeningObservationFacts> factsSeen;
    std::vector<FixedShortcut> performed;
    std::vector<std::pair<ApplicationLifecycle, platform::ContinuousInstant>> received;

private:
    CallLog& log_;
};

class MemoryWelcomeHistory final : public WelcomeHistoryStoring {
public:
    bool hasPresented() const override { return presented; }
    void markPresented() override {
        presented = true;
        ++writes;
    }

    bool presented = false;
    int writes = 0;
};

class RecordingPresenter final : public TidewrightWindowPresenting {
public:
    void presentWelcome(TidewrightAppModel& model) override { presentedFor.push_back(&model); }
    void presentPreferences(TidewrightAppModel& model, const QString& title) override {
        preferencesFor.emplace_back(&model, title);
    }

    std::vector<TidewrightAppModel*> presentedFor;
    std::vector<std::pair<TidewrightAppModel*, QString>> preferencesFor;
};

} // namespace tidewright::fakes
