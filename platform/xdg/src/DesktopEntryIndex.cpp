#include "platform/xdg/DesktopEntryIndex.hpp"

#include <QDir>
#include <QDirIterator>
#include <QFileSystemWatcher>
#include <QSet>

#include <algorithm>

#include "platform/concurrency/Executor.hpp"
#include "platform/concurrency/WorkQueue.hpp"

namespace platform::xdg {

DesktopEntrySnapshot DesktopEntrySnapshot::scan(const IndexSettings& settings) {
    DesktopEntrySnapshot snapshot;
    const QStringList suffixes = localeSuffixes(settings.messageLocale);
    QSet<QString> taken;
    for (const QString& dataFolder : settings.dataFolders) {
        const QString root = QDir(dataFolder).filePath(QStringLiteral("applications"));
        if (!QFileInfo(root).isDir()) {
            continue;
        }
        snapshot.folders_.append(root);
        const QDir base(root);
        // Sorted, so that which of two files wins never depends on the file system's order.
        QStringList files;
        QDirIterator it(root, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (it.fileInfo().isDir()) {
                snapshot.folders_.append(path);
            } else {
                files.append(path);
            }
        }
        files.sort();
        for (const QString& path : files) {
            auto id = desktopIdFor(base.relativeFilePath(path));
            if (!id || taken.contains(*id)) {
                continue;
            }
            auto file = DesktopEntryFile::read(path);
            if (!file) {
                continue; // an unreadable file hides nothing
            }
            taken.insert(*id);
            if (auto entry = applicationEntry(*file, *id, path, suffixes, settings.searchPath)) {
                snapshot.entries_.push_back(std::move(*entry));
            }
        }
    }
    std::sort(snapshot.entries_.begin(), snapshot.entries_.end(),
              [](const DesktopEntry& a, const DesktopEntry& b) { return a.id < b.id; });
    return snapshot;
}

const DesktopEntry* DesktopEntrySnapshot::find(const QString& id) const {
    auto found =
        std::lower_bound(entries_.begin(), entries_.end(), id,
                         [](const DesktopEntry& entry, const QString& key) { return entry.id < key; });
    return found != entries_.end() && found->id == id ? &*found : nullptr;
}

const DesktopEntry* DesktopEntrySnapshot::findByPath(const QString& path) const {
    auto found = std::find_if(entries_.begin(), entries_.end(),
                              [&](const DesktopEntry& entry) { return entry.path == path; });
    return found == entries_.end() ? nullptr : &*found;
}

// What the background scans share with the index; owner is cleared (on main) when the index goes.
struct DesktopEntryIndex::Shared {
    mutable std::mutex mutex;
    std::shared_ptr<const DesktopEntrySnapshot> snapshot;
    DesktopEntryIndex* owner = nullptr; // main thread only
    bool scanning = false;              // main thread only
    bool rescanWanted = false;          // main thread only
};

DesktopEntryIndex::DesktopEntryIndex(IndexSettings settings, Executor& main, WorkQueue& background)
    : settings_(std::move(settings)), main_(main), background_(background),
      shared_(std::make_shared<Shared>()), watcher_(std::make_unique<QFileSystemWatcher>()) {
    shared_->owner = this;
    auto first = std::make_shared<const DesktopEntrySnapshot>(DesktopEntrySnapshot::scan(settings_));
    follow(*first);
    shared_->snapshot = std::move(first);
    QObject::connect(watcher_.get(), &QFileSystemWatcher::directoryChanged, watcher_.get(),
                     [this](const QString&) { rescan(); });
}

DesktopEntryIndex::~DesktopEntryIndex() {
    shared_->owner = nullptr;
}

std::shared_ptr<const DesktopEntrySnapshot> DesktopEntryIndex::snapshot() const {
    std::lock_guard lock(shared_->mutex);
    return shared_->snapshot;
}

void DesktopEntryIndex::rescan() {
    if (shared_->scanning) {
        shared_->rescanWanted = true;
        return;
    }
    shared_->scanning = true;
    background_.submit([settings = settings_, shared = shared_, &main = main_] {
        auto result = std::make_shared<const DesktopEntrySnapshot>(DesktopEntrySnapshot::scan(settings));
        main.post([shared, result = std::move(result)] {
            if (shared->owner != nullptr) {
                shared->owner->install(result);
            }
        });
    });
}

void DesktopEntryIndex::install(std::shared_ptr<const DesktopEntrySnapshot> snapshot) {
    shared_->scanning = false;
    follow(*snapshot);
    {
        std::lock_guard lock(shared_->mutex);
        shared_->snapshot = std::move(snapshot);
    }
    if (shared_->rescanWanted) {
        shared_->rescanWanted = false;
        rescan();
    }
    if (onChange) {
        onChange();
    }
}

void DesktopEntryIndex::follow(const DesktopEntrySnapshot& snapshot) {
    QStringList wanted = snapshot.folders();
    for (const QString& dataFolder : settings_.dataFolders) {
        if (QFileInfo(dataFolder).isDir()) {
            wanted.append(dataFolder);
        }
    }
    const QStringList watchedList = watcher_->directories();
    const QSet<QString> watched(watchedList.begin(), watchedList.end());
    const QSet<QString> wantedSet(wanted.begin(), wanted.end());
    if (const QStringList gone = (watched - wantedSet).values(); !gone.isEmpty()) {
        watcher_->removePaths(gone);
    }
    if (const QStringList added = (wantedSet - watched).values(); !added.isEmpty()) {
        watcher_->addPaths(added);
    }
}

} // namespace platform::xdg
