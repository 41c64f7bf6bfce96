#pragma once
// The workspace of this desktop: running applications followed on the X display by a reader
// thread of its own, installed applications from the desktop-entry index, icons from the icon
// theme, the chooser as a dialog. Its lists change only as the reader's notices arrive on the main
// executor, so what a handler reads always agrees with the messages it has been given.

#include <QStringList>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/workspace/RunningApplicationsTracker.hpp"
#include "platform/workspace/Workspace.hpp"
#include "platform/workspace/WorkspaceObservers.hpp"
#include "platform/xdg/DesktopEntryIndex.hpp"

namespace platform {

class Executor;

class LiveWorkspace final : public Workspace {
public:
    struct Settings {
        std::string display;     // ":0"; empty for $DISPLAY as the composition root read it
        std::int32_t ownPid = 0; // this process, an accessory application
        QStringList searchPath;  // $PATH, to match Exec programs
    };

    // Lists the applications running now before it returns (they are never reported as launched),
    // then follows the display on its own thread.
    // THROWS std::runtime_error when the display cannot be reached.
    // REQUIRES: main thread; index and main outlive this object.
    LiveWorkspace(Settings settings, xdg::DesktopEntryIndex& index, Executor& main);
    ~LiveWorkspace() override;
    LiveWorkspace(const LiveWorkspace&) = delete;
    LiveWorkspace& operator=(const LiveWorkspace&) = delete;

    std::vector<RunningApplication> runningApplications() const override { return running_; }
    std::optional<RunningApplication> frontmostApplication() const override { return frontmost_; }
    WorkspaceObservation observe(WorkspaceMessage message,
                                 std::function<void(const RunningApplication&)> handler) override {
        return observers_.add(message, std::move(handler));
    }
    std::optional<InstalledApplication> installedApplication(const tidewright::BundleID& id) const override;
    QIcon icon(const InstalledApplication& application) const override;
    std::unique_ptr<ApplicationChooser> makeChooser() override;

    // The applications the chooser offers: not NoDisplay, installed, with a bundle identifier;
    // sorted by name.
    std::vector<InstalledApplication> choosableApplications() const;

private:
    class Reader;
    struct Inbox;
    void apply(const WorkspaceNotice& notice);

    xdg::DesktopEntryIndex& index_;
    std::vector<RunningApplication> running_;
    std::optional<RunningApplication> frontmost_;
    WorkspaceObservers observers_;
    std::shared_ptr<Inbox> inbox_;
    std::unique_ptr<Reader> reader_; // last: its thread stops first
};

// An installed application of a desktop entry.
InstalledApplication installedApplicationOf(const xdg::DesktopEntry& entry);

} // namespace platform
