#pragma once
// An application's desktop entry as the index keeps it: its desktop id, its file, and the keys
// that the workspace and the settings opener use, localised for one message locale.

#include <QString>
#include <QStringList>

#include <optional>

#include "platform/xdg/DesktopEntryFile.hpp"

namespace platform::xdg {

struct DesktopEntry {
    QString id;   // the file's path under its applications/ folder, "/" as "-", no ".desktop"
    QString path; // the file itself
    QString name; // localised
    QString icon;
    QString exec; // escapes resolved; split it with splitExec
    QString tryExec;
    QString startupWMClass;
    bool noDisplay = false;
    // TryExec names a program that is not there: the application is not installed.
    bool tryExecMissing = false;

    bool operator==(const DesktopEntry&) const = default;
};

// The desktop id of a file under an applications/ folder ("kde/org.Foo.desktop" gives
// "kde-org.Foo"); nothing for a name that does not end in ".desktop".
std::optional<QString> desktopIdFor(const QString& relativePath);

// An application entry of the file, or nothing when it is not one (Type other than Application,
// no Name, or Hidden: a hidden entry is one the user deleted). searchPath resolves a TryExec
// without a slash.
std::optional<DesktopEntry> applicationEntry(const DesktopEntryFile& file, const QString& id,
                                             const QString& path, const QStringList& localeSuffixes,
                                             const QStringList& searchPath);

// The executable a program name stands for: itself when it holds a "/", else the first
// executable file of that name in the search path. Nothing when there is none.
std::optional<QString> findProgram(const QString& program, const QStringList& searchPath);

} // namespace platform::xdg
