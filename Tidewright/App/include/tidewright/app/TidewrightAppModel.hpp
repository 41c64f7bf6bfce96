#pragma once
// The application's hub: owns every service for the process's lifetime, starts and stops them,
// reconciles the preferences, the permission and the hot keys into the app policy's decision, and
// publishes that state, the issues and the welcome openings to the views.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/concurrency/Clock.hpp"
#include "platform/concurrency/ContinuousClock.hpp"
#include "platform/concurrency/Executor.hpp"
#include "platform/concurrency/Task.hpp"
#include "platform/defaults/UserDefaults.hpp"
#include "platform/observation/Observable.hpp"
#include "tidewright/app/AppServices.hpp"
#include "tidewright/app/TidewrightWindowPresenting.hpp"
#include "tidewright/app/WelcomeHistoryStoring.hpp"
#include "tidewright/app/WindowPresentationOwner.hpp"
#include "tidewright/applications/ApplicationCatalogReading.hpp"
#include "tidewright/views/TidewrightIssue.hpp"
#include "tidewright/views/TidewrightNotice.hpp"

namespace platform {
class InstalledApplicationLookup;
} // namespace platform

namespace tidewright {

// Main thread only, destruction too. Always owned by a shared_ptr: every hook holds it weakly.
class TidewrightAppModel final : public std::enable_shared_from_this<TidewrightAppModel> {
public:
    // Everything the model drives. REQUIRES: every member is set.
    struct Services {
        // Platform objects the live services refer to; first, so that they are released last.
        std::vector<std::shared_ptr<void>> resources;
        std::shared_ptr<PreferenceRepositoryDriving> preferences;
        std::shared_ptr<PermissionServiceDriving> permissions;
        std::shared_ptr<HotkeyServiceDriving> hotkeys;
        std::shared_ptr<ApplicationCatalogReading> catalog;
        std::shared_ptr<OpeningRulesDriving> openingRules;
        std::shared_ptr<OpenAtLoginDriving> openAtLogin;
        std::shared_ptr<WelcomeHistoryStoring> welcomeHistory;
        std::shared_ptr<TrustNoticesDriving> trustNotices;
        std::shared_ptr<SystemSettingsOpening> settings;
        std::shared_ptr<TidewrightWindowPresenting> windowPresenter;
        // Builds the execution owner over the hooks the model hands it, once, during make().
        WindowExecutionFactory execution;
        // The continuous clock, whose current instant is stamped on lifecycle events. Not owned;
        // outlives the model.
        platform::Clock* clock = nullptr;
    };

    // The composition root: reads the environment (display, XDG folders, the synced folder) and
    // builds every live service, then the model over them, and installs the kit's windows.
    // presenter shows the welcome and preferences windows; none: the native windows.
    // Defined in TidewrightAppLive. THROWS std::runtime_error when the display cannot be reached.
    // REQUIRES: a QApplication exists; main is the main executor and outlives the model.
    // standardDefaults: the process's one object over the standard suite, when the program shares
    // it with others (two objects over one file would drop each other's keys); none builds one.
    static std::shared_ptr<TidewrightAppModel> live(platform::Executor& main,
                                                    std::shared_ptr<TidewrightWindowPresenting> presenter,
                                                    std::shared_ptr<platform::UserDefaults> standardDefaults = nullptr);
    // The installed applications in the composition root's XDG data folders, read once and needing
    // no display: what snapshot mode resolves its fixture applications through. Defined in
    // TidewrightAppLive. REQUIRES: main thread.
    static std::unique_ptr<platform::InstalledApplicationLookup> liveInstalledApplications();
    // Whether the X display the environment names can be opened now. Needs no QApplication.
    static bool displayReachable();
    // Every live service live() builds, not yet handed to make().
    static Services liveServices(platform::Executor& main,
                                 std::shared_ptr<TidewrightWindowPresenting> presenter,
                                 std::shared_ptr<platform::UserDefaults> standardDefaults = nullptr);
    // Builds the model and wires every service's hook to it. Throws std::invalid_argument when a
    // service is missing.
    static std::shared_ptr<TidewrightAppModel> make(Services services);
    // Stops every service.
    ~TidewrightAppModel();
    TidewrightAppModel(const TidewrightAppModel&) = delete;
    TidewrightAppModel& operator=(const TidewrightAppModel&) = delete;

    // Starts every service and reconciles; nothing while running.
    void start();
    // Stops every service; safe to repeat.
    void stop();

    // Turns the preferences, the permission and the hot-key registrations into the decision, the
    // registered hot keys, the issues and the opening rules. Only while running.
    void reconcile();
    // The facts window control acts on, read afresh.
    OpeningObservationFacts openingFacts();
    // Before each window action: refreshes the permission, waits for the read and answers true only
    // if nothing that authorises the action changed meanwhile. REQUIRES: awaited in a task.
    platform::Async<bool> authorizeExecution();

    // Counts and presents the welcome; only while running.
    void showWelcome();
    // The welcome window closed, or the user finished it: the welcome stays closed for this running
    // period and a welcome-owned permission request is abandoned.
    void welcomeClosed();
    // Opens the preferences window, or brings it to the front; no check of running (callers check).
    void showPreferences();
    // The preferences window closed: drops the work it started.
    void cancelPreferencesRequests();

    void permissionsChanged();
    void frontmostChanged();
    void receive(const ApplicationLifecycle& event);
    void performShortcut(FixedShortcut shortcut);
    void operationCompleted(const WindowOperationOutcome& outcome);
    void loginResult(bool succeeded);
    // Appends the issue unless present; notifies only when it was appended.
    void raiseIssue(TidewrightIssue issue);
    // Removes the issue; notifies the issues' observers on every call, also when it was absent.
    void resolveIssue(TidewrightIssue issue);
    void perform(TidewrightPresentationAction action);

    // The observable state. Views subscribe; only the model assigns.
    const PreferenceSummary& preferences() const { return preferences_.value(); }
    const WindowPermissions& permissions() const { return permissions_.value(); }
    const AppDecision& decision() const { return decision_.value(); }
    const std::vector<TidewrightIssue>& issues() const { return issues_.value(); }
    std::int64_t welcomeOpenings() const { return welcomeOpenings_.value(); }
    platform::Subscription observePreferences(std::function<void(const PreferenceSummary&)> observer);
    platform::Subscription observePermissions(std::function<void(const WindowPermissions&)> observer);
    platform::Subscription observeDecision(std::function<void(const AppDecision&)> observer);
    platform::Subscription observeIssues(std::function<void(const std::vector<TidewrightIssue>&)> observer);
    platform::Subscription observeWelcomeOpenings(std::function<void(const std::int64_t&)> observer);

    bool running() const noexcept { return running_; }
    bool permissionReadCompleted() const noexcept { return permissionReadCompleted_; }
    // Rises whenever the facts that authorise a window action may have changed; never falls.
    std::uint64_t generation() const noexcept { return generation_; }
    WindowPresentationOwner& presentation() { return *presentation_; }
    OpeningRulesDriving& openingRules() { return *services_.openingRules; }
    OpenAtLoginDriving& openAtLogin() { return *services_.openAtLogin; }
    PermissionServiceDriving& permissionService() { return *services_.permissions; }
    PreferenceRepositoryDriving& preferenceStore() { return *services_.preferences; }

private:
    struct Token {};

public:
    TidewrightAppModel(Token, Services services);

private:
    static platform::Async<bool> authorize(std::weak_ptr<TidewrightAppModel> weak);
    void wire();
    AppDecision decide(const PreferenceSummary& summary, const WindowPermissions& permissions) const;
    std::vector<ProcessID> sortedProcesses() const;

    Services services_;
    platform::Observable<PreferenceSummary> preferences_;
    platform::Observable<WindowPermissions> permissions_;
    platform::Observable<AppDecision> decision_;
    platform::Observable<std::vector<TidewrightIssue>> issues_;
    platform::Observable<std::int64_t> welcomeOpenings_{0};
    std::shared_ptr<WindowExecutionDriving> execution_;
    std::optional<WindowPresentationOwner> presentation_;
    bool permissionReadCompleted_ = false;
    bool running_ = false;
    std::uint64_t generation_ = 0;
};

} // namespace tidewright
