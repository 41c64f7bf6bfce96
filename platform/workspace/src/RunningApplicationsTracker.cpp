#include "platform/workspace/RunningApplicationsTracker.hpp"

#include <algorithm>
#include <set>

namespace platform {

RunningApplicationsTracker::~RunningApplicationsTracker() {
    for (const auto& [pid, process] : processes_) {
        hooks_.closeProcess(process.handle);
    }
}

void RunningApplicationsTracker::emit(WorkspaceMessage message, const RunningApplication& application) {
    if (!listing_) {
        hooks_.emit(WorkspaceNotice{message, application});
    }
}

void RunningApplicationsTracker::clientList(const std::vector<WindowId>& windows) {
    const std::set<WindowId> present(windows.begin(), windows.end());
    std::erase_if(windows_, [&](const auto& entry) { return !present.contains(entry.first); });
    for (WindowId window : windows) {
        if (windows_.contains(window)) {
            continue;
        }
        const std::optional<std::int32_t> owner = hooks_.ownerOf(window);
        if (owner) {
            sawWindow(*owner, window);
        }
        windows_.emplace(window, owner);
    }
}

void RunningApplicationsTracker::sawWindow(std::int32_t pid, WindowId window) {
    if (auto known = processes_.find(pid); known != processes_.end()) {
        if (!hooks_.hasExited(known->second.handle)) {
            return; // another window of a process we follow
        }
        // The pid was reused before its exit was handled: the old process ends first.
        processExited(pid);
    }
    const std::optional<int> handle = hooks_.openProcess(pid);
    if (!handle) {
        return;
    }
    bool confirmed = false;
    RunningApplication application;
    try {
        // An exited process (a zombie still has a handle) is not launched.
        confirmed = !hooks_.hasExited(*handle) && hooks_.windowExists(window);
        if (confirmed) {
            application = hooks_.describe(pid, window);
        }
    } catch (...) {
        hooks_.closeProcess(*handle);
        throw;
    }
    if (!confirmed) {
        hooks_.closeProcess(*handle);
        return;
    }
    application.processIdentifier = pid;
    processes_.emplace(pid, Process{*handle, application, nextOrder_++});
    emit(WorkspaceMessage::didLaunchApplication, application);
}

void RunningApplicationsTracker::activeWindow(std::optional<WindowId> window) {
    std::optional<std::int32_t> pid;
    if (window) {
        if (auto found = windows_.find(*window);
            found != windows_.end() && found->second && processes_.contains(*found->second)) {
            pid = found->second;
        }
    }
    if (pid == frontmost_) {
        return;
    }
    const std::optional<std::int32_t> previous = std::exchange(frontmost_, pid);
    if (previous) {
        emit(WorkspaceMessage::didDeactivateApplication, processes_.at(*previous).application);
    }
    if (pid) {
        emit(WorkspaceMessage::didActivateApplication, processes_.at(*pid).application);
    }
}

void RunningApplicationsTracker::processExited(std::int32_t pid) {
    auto found = processes_.find(pid);
    if (found == processes_.end()) {
        return;
    }
    const RunningApplication application = found->second.application;
    hooks_.closeProcess(found->second.handle);
    processes_.erase(found);
    // Its windows stay known until they leave the list, so a window of the dead process is never
    // taken for a new process's first window.
    if (frontmost_ == pid) {
        frontmost_.reset();
    }
    emit(WorkspaceMessage::didTerminateApplication, application);
}

std::vector<std::pair<std::int32_t, int>> RunningApplicationsTracker::handles() const {
    std::vector<std::pair<std::int32_t, int>> result;
    for (const auto& [pid, process] : processes_) {
        result.emplace_back(pid, process.handle);
    }
    return result;
}

std::vector<RunningApplication> RunningApplicationsTracker::running() const {
    std::vector<const Process*> ordered;
    for (const auto& [pid, process] : processes_) {
        ordered.push_back(&process);
    }
    std::sort(ordered.begin(), ordered.end(),
              [](const Process* a, const Process* b) { return a->order < b->order; });
    std::vector<RunningApplication> result;
    for (const Process* process : ordered) {
        result.push_back(process->application);
    }
    return result;
}

std::optional<RunningApplication> RunningApplicationsTracker::frontmost() const {
    if (!frontmost_) {
        return std::nullopt;
    }
    return processes_.at(*frontmost_).application;
}

} // namespace platform
