#pragma once
// Which application a process is: its desktop entry, found from what its first window and its
// /proc entry say, else its window class. Resolved once, when the process is first seen.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <string>

#include "platform/xdg/DesktopEntryIndex.hpp"

namespace platform {

struct ProcessClues {
    QString gtkApplicationId;    // _GTK_APPLICATION_ID of the window
    QString kdeDesktopFile;      // _KDE_NET_WM_DESKTOP_FILE of the window: an id or a path
    QString launchedDesktopFile; // GIO_LAUNCHED_DESKTOP_FILE, when its _PID named this process
    // WM_CLASS as the window's bytes: the identity escapes the bytes themselves, so two classes
    // that one text decoding would merge stay apart.
    std::string windowInstance; // first string
    std::string windowClass;    // second string
    QString executable;         // /proc/PID/exe
};

// The entry of the first clue that names one: the GTK application id, the KDE desktop file, the
// launched desktop file, an entry whose StartupWMClass is the window class (then the instance), an
// entry whose id is the class or the instance ignoring case, an entry whose Exec program is the
// executable. Entries are tried in id order, so the answer never depends on the folders' order.
const xdg::DesktopEntry* entryFor(const ProcessClues& clues, const xdg::DesktopEntrySnapshot& entries,
                                  const QStringList& searchPath);

struct ResolvedApplication {
    std::optional<std::string> bundleIdentifier;
    std::optional<QString> name;

    bool operator==(const ResolvedApplication&) const = default;
};

// The entry's bundle identifier and name; else "wmclass." with the escaped class and the class as
// the name; else nothing.
ResolvedApplication resolveApplication(const ProcessClues& clues, const xdg::DesktopEntrySnapshot& entries,
                                       const QStringList& searchPath);

// GIO_LAUNCHED_DESKTOP_FILE from a process's environment block, when GIO_LAUNCHED_DESKTOP_FILE_PID
// in the same block names pid.
QString launchedDesktopFile(const QByteArray& environment, std::int32_t pid);

} // namespace platform
