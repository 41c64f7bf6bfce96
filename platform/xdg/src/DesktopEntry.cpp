#include "platform/xdg/DesktopEntry.hpp"

#include <QFileInfo>

namespace platform::xdg {

std::optional<QString> desktopIdFor(const QString& relativePath) {
    static const QString suffix = QStringLiteral(".desktop");
    if (!relativePath.endsWith(suffix) || relativePath.size() == suffix.size()) {
        return std::nullopt;
    }
    QString id = relativePath.chopped(suffix.size());
    id.replace(u'/', u'-');
    return id;
}

std::optional<QString> findProgram(const QString& program, const QStringList& searchPath) {
    auto executable = [](const QString& path) {
        QFileInfo info(path);
        return info.isFile() && info.isExecutable();
    };
    if (program.isEmpty()) {
        return std::nullopt;
    }
    if (program.contains(u'/')) {
        return executable(program) ? std::optional<QString>(program) : std::nullopt;
    }
    for (const QString& folder : searchPath) {
        if (folder.isEmpty()) {
            continue;
        }
        const QString candidate = folder + u'/' + program;
        if (executable(candidate)) {
            return candidate;
        }
    }
    return std::nullopt;
}

std::optional<DesktopEntry> applicationEntry(const DesktopEntryFile& file, const QString& id,
                                             const QString& path, const QStringList& localeSuffixes,
                                             const QStringList& searchPath) {
    const QString group = QLatin1String(desktopEntryGroup);
    if (file.string(group, QStringLiteral("Type")) != u"Application" ||
        file.boolean(group, QStringLiteral("Hidden")).value_or(false)) {
        return std::nullopt;
    }
    auto name = file.localeString(group, QStringLiteral("Name"), localeSuffixes);
    if (!name || name->isEmpty()) {
        return std::nullopt;
    }
    DesktopEntry entry;
    entry.id = id;
    entry.path = path;
    entry.name = *name;
    entry.icon = file.localeString(group, QStringLiteral("Icon"), localeSuffixes).value_or(QString());
    entry.exec = file.string(group, QStringLiteral("Exec")).value_or(QString());
    entry.tryExec = file.string(group, QStringLiteral("TryExec")).value_or(QString());
    entry.startupWMClass = file.string(group, QStringLiteral("StartupWMClass")).value_or(QString());
    entry.noDisplay = file.boolean(group, QStringLiteral("NoDisplay")).value_or(false);
    entry.tryExecMissing = !entry.tryExec.isEmpty() && !findProgram(entry.tryExec, searchPath);
    return entry;
}

} // namespace platform::xdg
