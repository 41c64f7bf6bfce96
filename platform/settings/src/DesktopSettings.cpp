#include "platform/settings/DesktopSettings.hpp"

#include <QProcess>

#include "platform/workspace/BundleIdentifier.hpp"
#include "platform/xdg/DesktopEntry.hpp"
#include "platform/xdg/DesktopEntryFile.hpp"
#include "platform/xdg/ExecLine.hpp"

namespace platform {

namespace {

// The desktop id of an entry file, from its path under the nearest applications/ folder.
std::optional<QString> desktopIdOfPath(const QString& path) {
    const QString marker = QStringLiteral("/applications/");
    const qsizetype at = path.lastIndexOf(marker);
    if (at < 0) {
        return std::nullopt;
    }
    return xdg::desktopIdFor(path.mid(at + marker.size()));
}

std::optional<xdg::DesktopEntry> readEntry(const QString& path, const QStringList& searchPath) {
    const std::optional<QString> id = desktopIdOfPath(path);
    if (!id) {
        return std::nullopt;
    }
    const std::optional<xdg::DesktopEntryFile> file = xdg::DesktopEntryFile::read(path);
    if (!file) {
        return std::nullopt;
    }
    return xdg::applicationEntry(*file, *id, path, {}, searchPath);
}

} // namespace

const std::vector<SettingsApplicationRow>& settingsApplicationTable() {
    // Checked against the files of the Debian 12 packages gnome-control-center, systemsettings,
    // xfce4-settings, lxqt-config, mate-control-center and cinnamon. systemsettings ships a
    // second entry for use outside Plasma.
    static const std::vector<SettingsApplicationRow> table{
        {{QStringLiteral("GNOME"), QStringLiteral("Unity")}, {QStringLiteral("org.gnome.Settings")}},
        {{QStringLiteral("KDE")}, {QStringLiteral("systemsettings"), QStringLiteral("kdesystemsettings")}},
        {{QStringLiteral("XFCE")}, {QStringLiteral("xfce-settings-manager")}},
        {{QStringLiteral("LXQt")}, {QStringLiteral("lxqt-config")}},
        {{QStringLiteral("MATE")}, {QStringLiteral("matecc")}},
        {{QStringLiteral("X-Cinnamon"), QStringLiteral("Cinnamon")}, {QStringLiteral("cinnamon-settings")}},
    };
    return table;
}

QStringList settingsDesktopIds(const QString& currentDesktop) {
    QStringList ids;
    for (const QString& desktop : currentDesktop.split(u':', Qt::SkipEmptyParts)) {
        for (const SettingsApplicationRow& row : settingsApplicationTable()) {
            if (row.desktops.contains(desktop, Qt::CaseInsensitive)) {
                for (const QString& id : row.desktopIds) {
                    if (!ids.contains(id)) {
                        ids << id;
                    }
                }
            }
        }
    }
    if (ids.isEmpty()) {
        for (const SettingsApplicationRow& row : settingsApplicationTable()) {
            ids << row.desktopIds;
        }
    }
    return ids;
}

DesktopSettings::DesktopSettings(QString currentDesktop, Entries entries, QStringList searchPath)
    : candidates_(settingsDesktopIds(currentDesktop)), entries_(std::move(entries)),
      searchPath_(std::move(searchPath)) {}

std::optional<QString> DesktopSettings::chosenId(const xdg::DesktopEntrySnapshot& snapshot) const {
    for (const QString& id : candidates_) {
        if (const xdg::DesktopEntry* entry = snapshot.find(id); entry != nullptr && !entry->tryExecMissing) {
            return id;
        }
    }
    return std::nullopt;
}

tidewright::BundleID DesktopSettings::identifier() const {
    const auto snapshot = entries_();
    const QString id = snapshot ? chosenId(*snapshot).value_or(candidates_.first()) : candidates_.first();
    // Every id of the table gives a valid identifier.
    return *bundleIdentifierForDesktopId(id.toStdString());
}

std::optional<SettingsApplicationFile>
DesktopSettings::resolve(const tidewright::BundleID& identifier) const {
    const auto snapshot = entries_();
    if (!snapshot) {
        return std::nullopt;
    }
    for (const xdg::DesktopEntry& entry : snapshot->entries()) {
        if (entry.tryExecMissing || bundleIdentifierForDesktopId(entry.id.toStdString()) != identifier) {
            continue;
        }
        SettingsApplicationFile found{entry.path, std::nullopt};
        if (readEntry(entry.path, searchPath_)) {
            found.bundleID = bundleIdentifierForDesktopId(desktopIdOfPath(entry.path)->toStdString());
        }
        return found;
    }
    return std::nullopt;
}

bool DesktopSettings::launch(const QString& path) const {
    const std::optional<xdg::DesktopEntry> entry = readEntry(path, searchPath_);
    if (!entry) {
        return false;
    }
    const std::optional<QStringList> split = xdg::splitExec(entry->exec);
    if (!split) {
        return false;
    }
    QStringList arguments = xdg::expandFieldCodes(*split, {entry->icon, entry->name, path});
    if (arguments.isEmpty()) {
        return false;
    }
    const std::optional<QString> program = xdg::findProgram(arguments.takeFirst(), searchPath_);
    if (!program) {
        return false;
    }
    return QProcess::startDetached(*program, arguments);
}

} // namespace platform
