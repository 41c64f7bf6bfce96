#pragma once
// The running applications as the window list shows them: a process is launched when its first
// managed window is seen, frontmost while it owns the active window, and terminated when its
// process handle reports the exit. Turns what the reader sees into notices, in the order the
// workspace promises; the X connection and the process handles come in through Hooks.

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "platform/workspace/RunningApplication.hpp"
#include "platform/workspace/Workspace.hpp"

namespace platform {

struct WorkspaceNotice {
    WorkspaceMessage message;
    RunningApplication application;

    bool operator==(const WorkspaceNotice&) const = default;
};

// Not safe for concurrent use: the reader thread owns it. Any hook may throw; the tracker is left
// consistent and the same window is looked at again on the next call.
class RunningApplicationsTracker {
public:
    using WindowId = std::uint32_t;

    struct Hooks {
        // The process that owns a window, or nothing.
        std::function<std::optional<std::int32_t>(WindowId)> ownerOf;
        // A handle (pidfd) on a running process, or nothing when it has gone.
        std::function<std::optional<int>(std::int32_t pid)> openProcess;
        std::function<bool(int handle)> hasExited;
        std::function<void(int handle)> closeProcess;
        // Whether the window still exists: then the handle opened after reading its owner is the
        // owner's and not a later process's on the same pid.
        std::function<bool(WindowId)> windowExists;
        // What the application is, from its first window.
        std::function<RunningApplication(std::int32_t pid, WindowId window)> describe;
        std::function<void(const WorkspaceNotice&)> emit;
    };

    explicit RunningApplicationsTracker(Hooks hooks) : hooks_(std::move(hooks)) {}
    ~RunningApplicationsTracker();
    RunningApplicationsTracker(const RunningApplicationsTracker&) = delete;
    RunningApplicationsTracker& operator=(const RunningApplicationsTracker&) = delete;

    // While listing, nothing is emitted: the processes found are the ones present at start.
    void setListing(bool listing) { listing_ = listing; }

    // The managed windows now (_NET_CLIENT_LIST).
    void clientList(const std::vector<WindowId>& windows);
    // The active window now (_NET_ACTIVE_WINDOW); call after clientList.
    void activeWindow(std::optional<WindowId> window);
    // A handle reported the exit of its process.
    void processExited(std::int32_t pid);

    // pid and handle of every process followed, for the poll.
    std::vector<std::pair<std::int32_t, int>> handles() const;
    // In the order the processes were first seen.
    std::vector<RunningApplication> running() const;
    std::optional<RunningApplication> frontmost() const;

private:
    struct Process {
        int handle;
        RunningApplication application;
        std::uint64_t order;
    };
    void sawWindow(std::int32_t pid, WindowId window);
    void emit(WorkspaceMessage message, const RunningApplication& application);

    Hooks hooks_;
    bool listing_ = false;
    std::map<WindowId, std::optional<std::int32_t>> windows_;
    std::map<std::int32_t, Process> processes_;
    std::optional<std::int32_t> frontmost_;
    std::uint64_t nextOrder_ = 0;
};

} // namespace platform
