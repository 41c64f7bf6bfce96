#include "tidewright/applications/ApplicationCatalog.hpp"

#include <algorithm>
#include <limits>
#include <set>

#include "platform/concurrency/Continuation.hpp"
#include "platform/concurrency/WeakCall.hpp"
#include "platform/workspace/LocalizedStandardCompare.hpp"

namespace tidewright {

namespace {

// Identifiers the core refuses never get an identity.
std::optional<BundleID> validBundleID(const std::optional<std::string>& text) {
    if (!text || !BundleID::isValid(*text)) {
        return std::nullopt;
    }
    return BundleID(*text);
}

// Calls a hook through a copy, so a hook that reassigns itself does not destroy what is running.
template <class Hook, class... Args>
void call(const Hook& hook, Args&&... args) {
    if (hook) {
        Hook copy = hook;
        copy(std::forward<Args>(args)...);
    }
}

} // namespace

std::shared_ptr<ApplicationCatalog> ApplicationCatalog::make(platform::Workspace& workspace,
                                                             FrontmostSnapshot frontmostSnapshot) {
    return std::shared_ptr<ApplicationCatalog>(
        new ApplicationCatalog(workspace, std::move(frontmostSnapshot)));
}

ApplicationCatalog::ApplicationCatalog(platform::Workspace& workspace, FrontmostSnapshot frontmostSnapshot)
    : workspace_(workspace), frontmostSnapshot_(std::move(frontmostSnapshot)) {}

// The observers go with the catalog; a shown chooser is closed by its own destruction, which
// answers the waiting choice with nothing.
ApplicationCatalog::~ApplicationCatalog() = default;

std::vector<ProcessID> ApplicationCatalog::runningProcesses() const {
    std::vector<ProcessID> processes;
    processes.reserve(processes_.size());
    for (const auto& [pid, process] : processes_) {
        processes.push_back(process);
    }
    std::sort(processes.begin(), processes.end(), [](const ProcessID& a, const ProcessID& b) {
        return a.pid != b.pid ? a.pid < b.pid : a.incarnation < b.incarnation;
    });
    return processes;
}

std::optional<ProcessID> ApplicationCatalog::frontmostProcess() {
    if (frontmostSnapshot_) {
        return frontmostSnapshot_();
    }
    auto frontmost = workspace_.frontmostApplication();
    if (!frontmost) {
        return std::nullopt;
    }
    return processFor(*frontmost);
}

std::optional<LocalApplication> ApplicationCatalog::installedApplication(const BundleID& id) const {
    auto installed = workspace_.installedApplication(id);
    if (!installed) {
        return std::nullopt;
    }
    return LocalApplication{id, installed->name, workspace_.icon(*installed)};
}

std::optional<ProcessID> ApplicationCatalog::processFor(const platform::RunningApplication& application) {
    auto app = validBundleID(application.bundleIdentifier);
    if (!app) {
        return std::nullopt;
    }
    const std::int32_t pid = application.processIdentifier;
    if (auto found = processes_.find(pid); found != processes_.end() && found->second.app == *app) {
        return found->second;
    }
    // Never wrap around: a repeated incarnation would make two processes one identity.
    if (nextIncarnation_ == std::numeric_limits<std::uint64_t>::max()) {
        return std::nullopt;
    }
    ++nextIncarnation_;
    ProcessID process{std::move(*app), pid, nextIncarnation_};
    processes_.insert_or_assign(pid, process);
    return process;
}

void ApplicationCatalog::start() {
    if (!observers_.empty()) {
        return;
    }
    for (const platform::RunningApplication& application : workspace_.runningApplications()) {
        processFor(application);
    }
    focus_ = FocusPolicy(frontmostProcess());
    refreshApplications();

    std::weak_ptr<ApplicationCatalog> weak = weak_from_this();
    auto handler = [weak](void (ApplicationCatalog::*method)(const platform::RunningApplication&)) {
        return platform::weakCall(weak, method);
    };
    using Message = platform::WorkspaceMessage;
    observers_.push_back(
        workspace_.observe(Message::didLaunchApplication, handler(&ApplicationCatalog::didLaunch)));
    observers_.push_back(
        workspace_.observe(Message::didActivateApplication, handler(&ApplicationCatalog::didActivate)));
    observers_.push_back(
        workspace_.observe(Message::didDeactivateApplication, handler(&ApplicationCatalog::didDeactivate)));
    observers_.push_back(
        workspace_.observe(Message::didTerminateApplication, handler(&ApplicationCatalog::didTerminate)));
}

void ApplicationCatalog::stop() {
    closePanel();
    observers_.clear();
    processes_.clear();
    applications_.clear();
    focus_ = FocusPolicy();
    ++focusGeneration_;
    call(onFocusChange);
}

void ApplicationCatalog::cancelSelection() {
    closePanel();
}

void ApplicationCatalog::closePanel() {
    if (selectionPanel_) {
        // Cancelling answers the waiting choice; the chooser goes only after that.
        selectionPanel_->chooser->cancel();
        selectionPanel_.reset();
    }
}

std::vector<LocalApplication>
ApplicationCatalog::sortedByName(std::vector<LocalApplication> applications) const {
    std::vector<LocalApplication> unique;
    std::set<BundleID> seen;
    for (LocalApplication& application : applications) {
        if (seen.insert(application.id).second) {
            unique.push_back(std::move(application));
        }
    }
    std::stable_sort(unique.begin(), unique.end(), [](const LocalApplication& a, const LocalApplication& b) {
        return platform::localizedStandardCompare(a.name, b.name) < 0;
    });
    return unique;
}

void ApplicationCatalog::refreshApplications() {
    std::vector<LocalApplication> running;
    for (const platform::RunningApplication& application : workspace_.runningApplications()) {
        auto id = validBundleID(application.bundleIdentifier);
        if (application.activationPolicy != platform::ActivationPolicy::regular || !id ||
            !application.localizedName) {
            continue;
        }
        running.push_back(LocalApplication{std::move(*id), *application.localizedName, std::nullopt});
    }
    applications_ = sortedByName(std::move(running));
    call(onChange);
}

void ApplicationCatalog::publish(const ApplicationLifecycle& event) {
    std::optional<FocusEvent> focusEvent;
    switch (event.kind) {
    case ApplicationLifecycle::Case::launched:
        if (frontmostProcess() == event.process) {
            focusEvent = FocusEvent::activated(event.process);
        }
        break;
    case ApplicationLifecycle::Case::activated:
        focusEvent = FocusEvent::activated(event.process);
        break;
    case ApplicationLifecycle::Case::deactivated:
        focusEvent = FocusEvent::deactivated(event.process);
        break;
    case ApplicationLifecycle::Case::terminated:
        focusEvent = FocusEvent::terminated(event.process);
        break;
    }
    if (focusEvent && focus_.receive(*focusEvent) == FocusDecision::invalidate) {
        ++focusGeneration_;
        call(onFocusChange);
    }
    call(onLifecycle, event);
}

void ApplicationCatalog::didLaunch(const platform::RunningApplication& application) {
    processes_.erase(application.processIdentifier);
    auto process = processFor(application);
    if (!process) {
        return;
    }
    refreshApplications();
    publish(ApplicationLifecycle::launched(std::move(*process)));
}

void ApplicationCatalog::didActivate(const platform::RunningApplication& application) {
    if (auto process = processFor(application)) {
        publish(ApplicationLifecycle::activated(std::move(*process)));
    }
}

void ApplicationCatalog::didDeactivate(const platform::RunningApplication& application) {
    if (auto process = processFor(application)) {
        publish(ApplicationLifecycle::deactivated(std::move(*process)));
    }
}

void ApplicationCatalog::didTerminate(const platform::RunningApplication& application) {
    // Removed by pid alone: the workspace reports a pid's exit before any launch on that pid, so
    // this is never a newer process.
    std::optional<ProcessID> removed;
    if (auto found = processes_.find(application.processIdentifier); found != processes_.end()) {
        removed = std::move(found->second);
        processes_.erase(found);
    }
    refreshApplications();
    if (removed) {
        publish(ApplicationLifecycle::terminated(std::move(*removed)));
    }
}

platform::Async<std::vector<LocalApplication>> ApplicationCatalog::chooseApplications() {
    if (selectionPanel_ || platform::isCancelled()) {
        co_return std::vector<LocalApplication>{};
    }
    // Held weakly across the wait: the catalog may be gone when the answer comes.
    std::weak_ptr<ApplicationCatalog> weak = weak_from_this();
    const std::uint64_t serial = ++panelSerial_;
    selectionPanel_ = Panel{workspace_.makeChooser(), serial};
    platform::ApplicationChooser* chooser = selectionPanel_->chooser.get();

    using Answer = platform::ApplicationChooser::Answer;
    Answer answer = co_await platform::withContinuation<Answer>(
        "application chooser", [chooser](platform::Continuation<Answer> continuation) {
            chooser->begin([continuation](Answer answer) { continuation.resume(std::move(answer)); });
        });

    auto self = weak.lock();
    if (!self) {
        co_return std::vector<LocalApplication>{};
    }
    auto clearOwnPanel = [&] {
        if (selectionPanel_ && selectionPanel_->serial == serial) {
            selectionPanel_.reset();
        }
    };
    if (answer.response != platform::ApplicationChooser::Response::ok || platform::isCancelled()) {
        clearOwnPanel();
        co_return std::vector<LocalApplication>{};
    }
    std::vector<LocalApplication> chosen;
    for (const platform::InstalledApplication& application : answer.chosen) {
        if (!application.bundleIdentifier) {
            continue;
        }
        QString name = application.name;
        if (name.endsWith(QStringLiteral(".app"))) {
            name.chop(4);
        }
        chosen.push_back(LocalApplication{*application.bundleIdentifier, name, workspace_.icon(application)});
    }
    clearOwnPanel();
    co_return sortedByName(std::move(chosen));
}

} // namespace tidewright
