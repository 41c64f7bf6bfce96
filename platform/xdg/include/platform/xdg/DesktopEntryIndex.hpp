#pragma once
// The application entries of the XDG applications/ folders, first folder first, kept current
// while the folders change. A snapshot is immutable and may be read from any thread.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/xdg/DesktopEntry.hpp"

class QFileSystemWatcher;

namespace platform {
class Executor;
class WorkQueue;
} // namespace platform

namespace platform::xdg {

struct IndexSettings {
    // The data folders in precedence order ($XDG_DATA_HOME, then each of $XDG_DATA_DIRS); each
    // one's applications/ folder is read.
    QStringList dataFolders;
    QString messageLocale;  // LC_MESSAGES, e.g. "de_DE.UTF-8"
    QStringList searchPath; // $PATH, for TryExec and Exec programs
};

class DesktopEntrySnapshot {
public:
    // Reads every folder now. An id found in an earlier folder hides the same id in later ones,
    // even when the earlier entry is hidden or not an application.
    static DesktopEntrySnapshot scan(const IndexSettings& settings);

    // Sorted by id.
    const std::vector<DesktopEntry>& entries() const { return entries_; }
    const DesktopEntry* find(const QString& id) const;
    // The entry read from this file, if it is the one its id stands for.
    const DesktopEntry* findByPath(const QString& path) const;
    // Every folder that was read, so a watcher can follow them.
    const QStringList& folders() const { return folders_; }

private:
    std::vector<DesktopEntry> entries_;
    QStringList folders_;
};

class DesktopEntryIndex {
public:
    // Scans the folders before returning, then rescans on background whenever one of them (or a
    // data folder, for an applications/ folder made later) changes; the new snapshot is put in
    // place on main, where onChange is then called.
    // REQUIRES: a QCoreApplication exists; called on main's thread; main and background outlive
    // this object.
    DesktopEntryIndex(IndexSettings settings, Executor& main, WorkQueue& background);
    ~DesktopEntryIndex();
    DesktopEntryIndex(const DesktopEntryIndex&) = delete;
    DesktopEntryIndex& operator=(const DesktopEntryIndex&) = delete;

    // The present snapshot. Safe for concurrent access.
    std::shared_ptr<const DesktopEntrySnapshot> snapshot() const;

    std::function<void()> onChange;

private:
    struct Shared;
    void rescan();
    void install(std::shared_ptr<const DesktopEntrySnapshot> snapshot);
    void follow(const DesktopEntrySnapshot& snapshot);

    IndexSettings settings_;
    Executor& main_;
    WorkQueue& background_;
    std::shared_ptr<Shared> shared_;
    std::unique_ptr<QFileSystemWatcher> watcher_;
};

} // namespace platform::xdg
