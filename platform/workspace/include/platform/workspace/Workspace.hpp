#pragma once
// The desktop's workspace as the application catalog sees it: the running applications and the
// frontmost one, their lifecycle messages, the installed applications, their icons, and the
// chooser. Main thread only.

#include <QIcon>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/workspace/ApplicationChooser.hpp"
#include "platform/workspace/InstalledApplication.hpp"
#include "platform/workspace/RunningApplication.hpp"

namespace platform {

enum class WorkspaceMessage {
    didLaunchApplication,
    didActivateApplication,
    didDeactivateApplication,
    didTerminateApplication,
};

// An observation of one message; destroying (or resetting) it removes the observer.
class WorkspaceObservation {
public:
    WorkspaceObservation() = default;
    explicit WorkspaceObservation(std::function<void()> remove) : remove_(std::move(remove)) {}
    WorkspaceObservation(WorkspaceObservation&& other) noexcept : remove_(std::exchange(other.remove_, {})) {}
    WorkspaceObservation& operator=(WorkspaceObservation&& other) noexcept {
        if (this != &other) {
            reset();
            remove_ = std::exchange(other.remove_, {});
        }
        return *this;
    }
    ~WorkspaceObservation() { reset(); }

    void reset() {
        if (auto remove = std::exchange(remove_, {})) {
            remove();
        }
    }

private:
    std::function<void()> remove_;
};

class Workspace {
public:
    virtual ~Workspace() = default;

    // In the order the workspace learned of them.
    virtual std::vector<RunningApplication> runningApplications() const = 0;
    virtual std::optional<RunningApplication> frontmostApplication() const = 0;
    // handler runs on the main thread with the application the message is about, after the lists
    // above reflect it.
    virtual WorkspaceObservation observe(WorkspaceMessage message,
                                         std::function<void(const RunningApplication&)> handler) = 0;

    // The installed application with this bundle identifier, NoDisplay ones included.
    virtual std::optional<InstalledApplication>
    installedApplication(const tidewright::BundleID& id) const = 0;
    virtual QIcon icon(const InstalledApplication& application) const = 0;
    // A new chooser over the installed applications that the user may see.
    virtual std::unique_ptr<ApplicationChooser> makeChooser() = 0;
};

} // namespace platform
