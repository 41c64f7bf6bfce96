#include "tidewright/app/TidewrightAppModel.hpp"

#include <QLocale>
#include <QLoggingCategory>

#include <algorithm>
#include <stdexcept>
#include <tuple>
#include <utility>

#include "platform/concurrency/WeakCall.hpp"
#include "tidewright/views/TidewrightCopy.hpp"

namespace tidewright {

namespace {

Q_LOGGING_CATEGORY(appLog, "app.corbelthane.tidewright.app")

PreferenceSummary firstSummary(const TidewrightAppModel::Services& services) {
    if (!services.preferences) {
        throw std::invalid_argument("TidewrightAppModel needs a preference repository");
    }
    return services.preferences->summary();
}

WindowPermissions firstPermissions(const TidewrightAppModel::Services& services) {
    if (!services.permissions) {
        throw std::invalid_argument("TidewrightAppModel needs a permission service");
    }
    return services.permissions->permissions();
}

void requireServices(const TidewrightAppModel::Services& services) {
    if (!services.hotkeys || !services.catalog || !services.openingRules || !services.openAtLogin ||
        !services.welcomeHistory || !services.trustNotices || !services.settings ||
        !services.windowPresenter || !services.execution || services.clock == nullptr) {
        throw std::invalid_argument("TidewrightAppModel needs every service");
    }
}

// An unavailable sync account alone is not worth a notice: the preferences still work locally.
bool worthAnIssue(const PreferenceNotice& notice) {
    return notice.issue != PreferenceSummaryIssue::preference(PreferenceIssue::accountUnavailable);
}

} // namespace

TidewrightAppModel::TidewrightAppModel(Token, Services services)
    : services_(std::move(services)), preferences_(firstSummary(services_)),
      permissions_(firstPermissions(services_)),
      decision_(AppPolicy::decide(preferences_.value().operationEnabled(), permissions_.value(), {},
                                  preferences_.value().enabledAvailability())) {
    requireServices(services_);
}

std::shared_ptr<TidewrightAppModel> TidewrightAppModel::make(Services services) {
    auto model = std::make_shared<TidewrightAppModel>(Token{}, std::move(services));
    model->wire();
    return model;
}

TidewrightAppModel::~TidewrightAppModel() {
    stop();
}

void TidewrightAppModel::wire() {
    const std::weak_ptr<TidewrightAppModel> weak = weak_from_this();

    WindowExecutionHooks hooks;
    hooks.facts = [weak] {
        const auto model = weak.lock();
        return model ? model->openingFacts() : OpeningObservationFacts{};
    };
    hooks.processes = [weak] {
        const auto model = weak.lock();
        return model ? model->sortedProcesses() : std::vector<ProcessID>{};
    };
    hooks.authorize = [weak] {
        return authorize(weak);
    };
    hooks.completed = platform::weakCall(weak, &TidewrightAppModel::operationCompleted);
    execution_ = services_.execution(std::move(hooks));
    if (!execution_) {
        throw std::invalid_argument("TidewrightAppModel's execution factory built nothing");
    }

    presentation_.emplace(services_.welcomeHistory, platform::weakCall(weak, &TidewrightAppModel::showWelcome));

    // Each hook holds the model weakly and does nothing once it is gone.
    services_.preferences->onChange = platform::weakCall(weak, &TidewrightAppModel::reconcile);
    services_.permissions->onChange = platform::weakCall(weak, &TidewrightAppModel::permissionsChanged);
    // The opening rules follow the running applications whether or not the model runs.
    services_.catalog->onChange = [weak] {
        if (const auto model = weak.lock()) {
            model->services_.openingRules->refresh();
        }
    };
    services_.openAtLogin->onResult = platform::weakCall(weak, &TidewrightAppModel::loginResult);
    services_.catalog->onFocusChange = platform::weakCall(weak, &TidewrightAppModel::frontmostChanged);
    services_.catalog->onLifecycle = platform::weakCall(weak, &TidewrightAppModel::receive);
    services_.hotkeys->onShortcut = platform::weakCall(weak, &TidewrightAppModel::performShortcut);
    services_.hotkeys->onChange = platform::weakCall(weak, &TidewrightAppModel::reconcile);
}

void TidewrightAppModel::start() {
    if (running_) {
        return;
    }
    permissionReadCompleted_ = false;
    running_ = true;
    presentation_->start();
    services_.openingRules->start();
    services_.openAtLogin->start();
    services_.preferences->start();
    services_.catalog->start();
    services_.permissions->refresh();
    reconcile();
    execution_->start(sortedProcesses());
    const std::weak_ptr<TidewrightAppModel> weak = weak_from_this();
    services_.trustNotices->start([weak] {
        // Notices already on their way arrive after a stop.
        const auto model = weak.lock();
        if (model && model->running_) {
            model->services_.permissions->refresh();
        }
    });
}

void TidewrightAppModel::stop() {
    if (!execution_ || !presentation_) {
        return; // make() failed before anything could start
    }
    running_ = false;
    ++generation_;
    execution_->stop();
    services_.trustNotices->stop();
    presentation_->stop();
    services_.openingRules->stop();
    services_.openAtLogin->stop();
    services_.preferences->stop();
    services_.permissions->stop();
    services_.hotkeys->stop();
    services_.catalog->stop();
}

AppDecision TidewrightAppModel::decide(const PreferenceSummary& summary,
                                       const WindowPermissions& permissions) const {
    return AppPolicy::decide(summary.operationEnabled(), permissions, services_.hotkeys->registrations(),
                             summary.enabledAvailability());
}

std::vector<ProcessID> TidewrightAppModel::sortedProcesses() const {
    std::vector<ProcessID> processes = services_.catalog->runningProcesses();
    std::sort(processes.begin(), processes.end(), [](const ProcessID& a, const ProcessID& b) {
        return std::tie(a.pid, a.incarnation) < std::tie(b.pid, b.incarnation);
    });
    return processes;
}

void TidewrightAppModel::reconcile() {
    if (!running_) {
        return;
    }
    const PreferenceSummary oldSummary = preferences_.value();
    const WindowPermissions oldPermissions = permissions_.value();
    preferences_.set(services_.preferences->summary());
    permissions_.set(services_.permissions->permissions());
    const PreferenceSummary summary = preferences_.value();
    const WindowPermissions permissions = permissions_.value();

    const AppDecision first = decide(summary, permissions);
    if (first != decision_.value() || summary != oldSummary || permissions != oldPermissions) {
        ++generation_;
    }
    services_.hotkeys->apply(first.desiredShortcuts);
    // The stored decision reflects the registrations that the desired set actually produced.
    decision_.set(decide(summary, permissions));

    execution_->factsChanged(sortedProcesses());

    if (std::any_of(summary.issues().begin(), summary.issues().end(), worthAnIssue)) {
        raiseIssue(TidewrightIssue::preferences);
    } else {
        resolveIssue(TidewrightIssue::preferences);
    }

    services_.openingRules->apply(summary.usableRules());
    presentation_->offerWelcome(permissions.moveWindows, permissionReadCompleted_);
}

OpeningObservationFacts TidewrightAppModel::openingFacts() {
    const PreferenceSummary summary = services_.preferences->summary();
    const AppDecision decision = decide(summary, services_.permissions->permissions());
    OpeningObservationFacts facts;
    facts.operationAllowed = running_ && decision.rulesAllowed;
    facts.generation = generation_;
    facts.frontmost = services_.catalog->frontmostProcess();
    facts.rules = {summary.usableRules().begin(), summary.usableRules().end()};
    return facts;
}

platform::Async<bool> TidewrightAppModel::authorizeExecution() {
    return authorize(weak_from_this());
}

// A static coroutine that holds the model weakly, so that a model destroyed during the wait is
// never touched again.
platform::Async<bool> TidewrightAppModel::authorize(std::weak_ptr<TidewrightAppModel> weak) {
    std::uint64_t remembered = 0;
    std::optional<platform::Task<>> awaited;
    {
        const auto model = weak.lock();
        if (!model || !model->running_ || platform::isCancelled()) {
            co_return false;
        }
        remembered = model->generation_;
        model->services_.permissions->refresh();
        awaited = model->services_.permissions->task();
    }
    // Wait for the read just asked for, and for any read that followed it, until the one awaited is
    // the service's last.
    while (awaited && !platform::isCancelled()) {
        try {
            co_await awaited->value();
        } catch (...) {
            // The service's tasks never fail; a failure would only end the wait.
        }
        const auto model = weak.lock();
        if (!model) {
            co_return false;
        }
        const std::optional<platform::Task<>> current = model->services_.permissions->task();
        if (!current || *current == *awaited) {
            break;
        }
        awaited = current;
    }
    const auto model = weak.lock();
    const bool granted = model && model->running_ && !platform::isCancelled() && model->generation_ == remembered;
    if (!granted) {
        qCDebug(appLog, "window action refused: the permission changed or the action was cancelled");
    }
    co_return granted;
}

void TidewrightAppModel::showWelcome() {
    if (!running_) {
        return;
    }
    welcomeOpenings_.set(welcomeOpenings_.value() + 1);
    presentation_->markWelcomePresented();
    services_.windowPresenter->presentWelcome(*this);
}

void TidewrightAppModel::welcomeClosed() {
    presentation_->suppress();
    services_.permissions->cancelRequest(PermissionServiceDriving::RequestOwner::welcome);
}

void TidewrightAppModel::showPreferences() {
    services_.windowPresenter->presentPreferences(*this,
                                                  localizedCopy(TidewrightCopy::preferencesTitle, QLocale()));
}

void TidewrightAppModel::cancelPreferencesRequests() {
    services_.openingRules->cancelChooser();
    services_.catalog->cancelSelection();
    services_.permissions->cancelRequest(PermissionServiceDriving::RequestOwner::preferences);
}

void TidewrightAppModel::permissionsChanged() {
    if (!running_) {
        return;
    }
    permissionReadCompleted_ = true;
    reconcile();
}

void TidewrightAppModel::frontmostChanged() {
    ++generation_;
    execution_->factsChanged(sortedProcesses());
}

void TidewrightAppModel::receive(const ApplicationLifecycle& event) {
    execution_->receive(event, services_.clock->now());
    if (event.kind != ApplicationLifecycle::Case::deactivated || !running_) {
        return;
    }
    // The user has just left the settings, where the permission or the login item may have changed.
    if (services_.settings->application() == event.process.app) {
        services_.permissions->refresh();
        services_.preferences->refresh();
        services_.openAtLogin->refresh();
    }
}

void TidewrightAppModel::performShortcut(FixedShortcut shortcut) {
    if (running_ && decision_.value().usableShortcuts.contains(shortcut)) {
        execution_->perform(shortcut);
    }
}

void TidewrightAppModel::operationCompleted(const WindowOperationOutcome& outcome) {
    // A key that did nothing shows why in a debug log.
    if (const std::optional<DesktopFrame> frame = outcome.frame()) {
        qCDebug(appLog, "window action observed at %g,%g %gx%g", frame->minX(), frame->minY(),
                frame->size().width().value(), frame->size().height().value());
    } else if (const std::optional<WindowOperationFailure> failure = outcome.failure()) {
        qCDebug(appLog, "window action failed: %s %d", caseName(failure->kind()), failure->code().value_or(0));
    } else {
        qCDebug(appLog, "window action %s", caseName(outcome.kind()));
    }
    switch (outcome.kind()) {
    case WindowOperationOutcome::Case::observed:
        resolveIssue(TidewrightIssue::operation);
        return;
    case WindowOperationOutcome::Case::failed:
        // A press with no window to act on is not a problem of ours.
        if (outcome.failure()->kind() != WindowOperationFailure::Case::noUniqueEligibleWindow) {
            raiseIssue(TidewrightIssue::operation);
        }
        return;
    case WindowOperationOutcome::Case::unconfirmed:
        raiseIssue(TidewrightIssue::operation);
        return;
    case WindowOperationOutcome::Case::blocked:
    case WindowOperationOutcome::Case::alreadyPending:
    case WindowOperationOutcome::Case::invalidated:
        return;
    }
}

void TidewrightAppModel::loginResult(bool succeeded) {
    if (succeeded) {
        resolveIssue(TidewrightIssue::login);
    } else {
        raiseIssue(TidewrightIssue::login);
    }
}

void TidewrightAppModel::raiseIssue(TidewrightIssue issue) {
    const std::vector<TidewrightIssue>& current = issues_.value();
    if (std::find(current.begin(), current.end(), issue) != current.end()) {
        return;
    }
    std::vector<TidewrightIssue> raised = current;
    raised.push_back(issue);
    issues_.set(std::move(raised));
}

void TidewrightAppModel::resolveIssue(TidewrightIssue issue) {
    std::vector<TidewrightIssue> resolved = issues_.value();
    std::erase(resolved, issue);
    if (!issues_.set(std::move(resolved))) {
        issues_.notify();
    }
}

void TidewrightAppModel::perform(TidewrightPresentationAction action) {
    if (!running_) {
        return;
    }
    switch (action) {
    case TidewrightPresentationAction::permissions:
        showWelcome();
        return;
    case TidewrightPresentationAction::preferences:
    case TidewrightPresentationAction::shortcutHelp:
        showPreferences();
        return;
    case TidewrightPresentationAction::systemSettings:
        if (services_.settings->open()) {
            resolveIssue(TidewrightIssue::settings);
        } else {
            raiseIssue(TidewrightIssue::settings);
        }
        return;
    }
}

platform::Subscription
TidewrightAppModel::observePreferences(std::function<void(const PreferenceSummary&)> observer) {
    return preferences_.subscribe(std::move(observer));
}

platform::Subscription
TidewrightAppModel::observePermissions(std::function<void(const WindowPermissions&)> observer) {
    return permissions_.subscribe(std::move(observer));
}

platform::Subscription TidewrightAppModel::observeDecision(std::function<void(const AppDecision&)> observer) {
    return decision_.subscribe(std::move(observer));
}

platform::Subscription
TidewrightAppModel::observeIssues(std::function<void(const std::vector<TidewrightIssue>&)> observer) {
    return issues_.subscribe(std::move(observer));
}

platform::Subscription
TidewrightAppModel::observeWelcomeOpenings(std::function<void(const std::int64_t&)> observer) {
    return welcomeOpenings_.subscribe(std::move(observer));
}

} // namespace tidewright
