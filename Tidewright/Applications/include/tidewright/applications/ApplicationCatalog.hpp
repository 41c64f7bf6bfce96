#pragma once
// The system's one view of which applications run and which is in front, and its one way of
// letting the user pick installed applications. Follows the workspace, gives every process an
// identity whose incarnation makes a reused pid a new process, and publishes lifecycle events.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/workspace/Workspace.hpp"
#include "tidewright/applications/ApplicationCatalogReading.hpp"
#include "tidewright/core/FocusPolicy.hpp"

namespace tidewright {

class ApplicationCatalog final : public ApplicationCatalogReading,
                                 public std::enable_shared_from_this<ApplicationCatalog> {
public:
    using FrontmostSnapshot = std::function<std::optional<ProcessID>()>;

    // Observers and the chooser hold the catalog weakly, so it is always owned by a shared_ptr.
    // REQUIRES: workspace outlives the catalog; main thread.
    static std::shared_ptr<ApplicationCatalog> make(platform::Workspace& workspace,
                                                    FrontmostSnapshot frontmostSnapshot = {});
    ~ApplicationCatalog() override;
    ApplicationCatalog(const ApplicationCatalog&) = delete;
    ApplicationCatalog& operator=(const ApplicationCatalog&) = delete;

    const std::vector<LocalApplication>& applications() const override { return applications_; }
    std::vector<ProcessID> runningProcesses() const override;
    std::optional<ProcessID> frontmostProcess() override;
    std::uint64_t focusGeneration() const override { return focusGeneration_; }
    std::optional<LocalApplication> installedApplication(const BundleID& id) const override;

    // Lists the running applications and then observes the workspace, so an application already
    // running is never reported as a launch. A second start does nothing.
    void start() override;
    void stop() override;
    void cancelSelection() override;
    platform::Async<std::vector<LocalApplication>> chooseApplications() override;

    const std::map<std::int32_t, ProcessID>& processes() const { return processes_; }
    bool choosing() const { return selectionPanel_.has_value(); }

private:
    ApplicationCatalog(platform::Workspace& workspace, FrontmostSnapshot frontmostSnapshot);

    struct Panel {
        std::unique_ptr<platform::ApplicationChooser> chooser;
        std::uint64_t serial;
    };

    std::optional<ProcessID> processFor(const platform::RunningApplication& application);
    void refreshApplications();
    void publish(const ApplicationLifecycle& event);
    void didLaunch(const platform::RunningApplication& application);
    void didActivate(const platform::RunningApplication& application);
    void didDeactivate(const platform::RunningApplication& application);
    void didTerminate(const platform::RunningApplication& application);
    void closePanel();
    std::vector<LocalApplication> sortedByName(std::vector<LocalApplication> applications) const;

    platform::Workspace& workspace_;
    FrontmostSnapshot frontmostSnapshot_;
    std::vector<platform::WorkspaceObservation> observers_;
    std::map<std::int32_t, ProcessID> processes_;
    std::uint64_t nextIncarnation_ = 0;
    FocusPolicy focus_;
    std::optional<Panel> selectionPanel_;
    std::uint64_t panelSerial_ = 0; // tells a panel from a later one made at the same address
    std::uint64_t focusGeneration_ = 0;
    std::vector<LocalApplication> applications_;
};

} // namespace tidewright
