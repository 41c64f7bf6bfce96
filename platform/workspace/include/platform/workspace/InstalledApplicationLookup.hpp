#pragma once
// The installed applications by bundle identifier, with their icons: the part of the workspace
// that needs no display. Main thread only.

#include <QIcon>

#include <memory>
#include <optional>

#include "platform/workspace/InstalledApplication.hpp"
#include "platform/xdg/DesktopEntryIndex.hpp"

namespace platform {

class InstalledApplicationLookup {
public:
    virtual ~InstalledApplicationLookup() = default;

    // The installed application with this bundle identifier, NoDisplay ones included.
    virtual std::optional<InstalledApplication>
    installedApplication(const tidewright::BundleID& id) const = 0;
    virtual QIcon icon(const InstalledApplication& application) const = 0;
};

// The first entry of the snapshot, in its order, whose id gives this bundle identifier; an entry
// whose TryExec program is missing is not installed.
std::optional<InstalledApplication> findInstalledApplication(const xdg::DesktopEntrySnapshot& entries,
                                                             const tidewright::BundleID& id);

// The lookup over one read of the desktop entries, icons from the icon theme.
class DesktopEntryApplications final : public InstalledApplicationLookup {
public:
    explicit DesktopEntryApplications(std::shared_ptr<const xdg::DesktopEntrySnapshot> entries)
        : entries_(std::move(entries)) {}

    std::optional<InstalledApplication> installedApplication(const tidewright::BundleID& id) const override {
        return findInstalledApplication(*entries_, id);
    }
    QIcon icon(const InstalledApplication& application) const override;

private:
    std::shared_ptr<const xdg::DesktopEntrySnapshot> entries_;
};

} // namespace platform
