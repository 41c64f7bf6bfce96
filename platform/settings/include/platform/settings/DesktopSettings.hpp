#pragma once
// The desktop's own settings application, found by its desktop entry: which well-known entry the
// running desktop names, the bundle identifier that stands for it, and its launch.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/xdg/DesktopEntryIndex.hpp"
#include "tidewright/core/Identities.hpp"

namespace platform {

// The settings entries of the desktops, as their Debian packages ship them, in the order tried
// when the desktop is not one of these: for each, the names XDG_CURRENT_DESKTOP gives it.
struct SettingsApplicationRow {
    QStringList desktops;
    QStringList desktopIds;
};
const std::vector<SettingsApplicationRow>& settingsApplicationTable();

// The desktop ids to try for XDG_CURRENT_DESKTOP (a ":"-separated list, compared ignoring case):
// the ids of each desktop it names, in its order; the whole table when it names none of them.
QStringList settingsDesktopIds(const QString& currentDesktop);

// The entry a resolve found: its file and the bundle identifier read back from that file; none
// when the file is no longer an application entry, or its id gives no bundle identifier.
struct SettingsApplicationFile {
    QString path;
    std::optional<tidewright::BundleID> bundleID;
};

// Main thread only.
class DesktopSettings {
public:
    using Entries = std::function<std::shared_ptr<const xdg::DesktopEntrySnapshot>()>;

    // entries: the installed entries now (the index's snapshot); searchPath: $PATH for Exec.
    DesktopSettings(QString currentDesktop, Entries entries, QStringList searchPath);

    // The identifier of the settings application: the first candidate id that has an entry, else
    // the first candidate, so a desktop without one still has an identifier to compare with.
    tidewright::BundleID identifier() const;

    // The entry of the application with that identifier, read back from its file.
    std::optional<SettingsApplicationFile> resolve(const tidewright::BundleID& identifier) const;

    // Starts the entry's Exec, split by the Desktop Entry rules, detached and without a shell;
    // false when the entry cannot be read, names no program that is there, or does not start.
    bool launch(const QString& path) const;

private:
    std::optional<QString> chosenId(const xdg::DesktopEntrySnapshot& snapshot) const;

    QStringList candidates_;
    Entries entries_;
    QStringList searchPath_;
};

} // namespace platform
