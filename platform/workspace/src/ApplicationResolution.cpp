#include "platform/workspace/ApplicationResolution.hpp"

#include <QByteArray>
#include <QFileInfo>

#include "platform/workspace/BundleIdentifier.hpp"
#include "platform/xdg/ExecLine.hpp"

namespace platform {

namespace {

const xdg::DesktopEntry* byIdOrPath(const QString& clue, const xdg::DesktopEntrySnapshot& entries) {
    if (clue.isEmpty()) {
        return nullptr;
    }
    if (clue.startsWith(u'/')) {
        if (const auto* entry = entries.findByPath(clue)) {
            return entry;
        }
        // A file under some applications/ folder: its id, though another folder may hold the entry.
        const QString marker = QStringLiteral("/applications/");
        const qsizetype at = clue.lastIndexOf(marker);
        if (at < 0) {
            return nullptr;
        }
        auto id = xdg::desktopIdFor(clue.mid(at + marker.size()));
        return id ? entries.find(*id) : nullptr;
    }
    QString id = clue;
    if (id.endsWith(QStringLiteral(".desktop"))) {
        id.chop(8);
    }
    return entries.find(id);
}

template <class Predicate>
const xdg::DesktopEntry* firstWhere(const xdg::DesktopEntrySnapshot& entries, Predicate predicate) {
    for (const xdg::DesktopEntry& entry : entries.entries()) {
        if (predicate(entry)) {
            return &entry;
        }
    }
    return nullptr;
}

QString canonical(const QString& path) {
    return QFileInfo(path).canonicalFilePath();
}

} // namespace

const xdg::DesktopEntry* entryFor(const ProcessClues& clues, const xdg::DesktopEntrySnapshot& entries,
                                  const QStringList& searchPath) {
    for (const QString* clue : {&clues.gtkApplicationId, &clues.kdeDesktopFile, &clues.launchedDesktopFile}) {
        if (const auto* entry = byIdOrPath(*clue, entries)) {
            return entry;
        }
    }
    const QString names[] = {QString::fromStdString(clues.windowClass),
                             QString::fromStdString(clues.windowInstance)};
    for (const QString& name : names) {
        if (name.isEmpty()) {
            continue;
        }
        if (const auto* entry =
                firstWhere(entries, [&](const xdg::DesktopEntry& e) { return e.startupWMClass == name; })) {
            return entry;
        }
    }
    for (const QString& name : names) {
        if (name.isEmpty()) {
            continue;
        }
        if (const auto* entry = firstWhere(entries, [&](const xdg::DesktopEntry& e) {
                return e.id.compare(name, Qt::CaseInsensitive) == 0;
            })) {
            return entry;
        }
    }
    const QString executable = canonical(clues.executable);
    if (executable.isEmpty()) {
        return nullptr;
    }
    return firstWhere(entries, [&](const xdg::DesktopEntry& entry) {
        auto arguments = xdg::splitExec(entry.exec);
        if (!arguments) {
            return false;
        }
        auto program = xdg::findProgram(arguments->first(), searchPath);
        return program && canonical(*program) == executable;
    });
}

ResolvedApplication resolveApplication(const ProcessClues& clues, const xdg::DesktopEntrySnapshot& entries,
                                       const QStringList& searchPath) {
    if (const auto* entry = entryFor(clues, entries, searchPath)) {
        auto id = bundleIdentifierForDesktopId(entry->id.toStdString());
        return {id ? std::optional(id->rawValue()) : std::nullopt, entry->name};
    }
    if (clues.windowClass.empty()) {
        return {};
    }
    auto id = bundleIdentifierForWindowClass(clues.windowClass);
    return {id ? std::optional(id->rawValue()) : std::nullopt, QString::fromStdString(clues.windowClass)};
}

QString launchedDesktopFile(const QByteArray& environment, std::int32_t pid) {
    QString file;
    bool pidMatches = false;
    for (const QByteArray& variable : environment.split('\0')) {
        if (variable.startsWith("GIO_LAUNCHED_DESKTOP_FILE=")) {
            file = QString::fromUtf8(variable.mid(26));
        } else if (variable.startsWith("GIO_LAUNCHED_DESKTOP_FILE_PID=")) {
            pidMatches = variable.mid(30) == QByteArray::number(pid);
        }
    }
    return pidMatches ? file : QString();
}

} // namespace platform
