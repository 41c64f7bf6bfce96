#pragma once
// How every other part of the application uses the catalog of applications. Main thread only.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/concurrency/Task.hpp"
#include "tidewright/applications/LocalApplication.hpp"
#include "tidewright/core/Identities.hpp"
#include "tidewright/openingfacts/ApplicationLifecycle.hpp"

namespace tidewright {

class ApplicationCatalogReading {
public:
    virtual ~ApplicationCatalogReading() = default;

    // The running regular applications, sorted by name.
    virtual const std::vector<LocalApplication>& applications() const = 0;
    // Sorted by pid, then incarnation.
    virtual std::vector<ProcessID> runningProcesses() const = 0;
    // Reading it may give a process its identity.
    virtual std::optional<ProcessID> frontmostProcess() = 0;
    virtual std::uint64_t focusGeneration() const = 0;
    // The installed application with this bundle identifier, with its name and icon.
    virtual std::optional<LocalApplication> installedApplication(const BundleID& id) const = 0;

    virtual void start() = 0;
    virtual void stop() = 0;
    virtual void cancelSelection() = 0;
    // Lets the user choose installed applications; empty when cancelled or already choosing.
    virtual platform::Async<std::vector<LocalApplication>> chooseApplications() = 0;

    std::function<void()> onChange;      // after the running list was rebuilt
    std::function<void()> onFocusChange; // after focusGeneration rose
    std::function<void(const ApplicationLifecycle&)> onLifecycle;
};

} // namespace tidewright
