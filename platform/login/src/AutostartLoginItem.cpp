#include "platform/login/AutostartLoginItem.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "platform/xdg/DesktopEntry.hpp"
#include "platform/xdg/DesktopEntryFile.hpp"
#include "platform/xdg/ExecLine.hpp"

namespace platform {

namespace {

const QString autostartFolder = QStringLiteral("autostart");

// The characters that make an Exec argument need quotes.
bool needsQuotes(const QString& argument) {
    if (argument.isEmpty()) {
        return true;
    }
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    for (QChar c : argument) {
        if (reserved.contains(c)) {
            return true;
        }
    }
    return false;
}

// A desktop-entry string value: backslash and the control characters the reader unescapes.
QString escapeString(const QString& text) {
    QString escaped;
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'\\':
            escaped += QStringLiteral("\\\\");
            break;
        case u'\n':
            escaped += QStringLiteral("\\n");
            break;
        case u'\t':
            escaped += QStringLiteral("\\t");
            break;
        case u'\r':
            escaped += QStringLiteral("\\r");
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

QString canonical(const QString& path) {
    const QString resolved = QFileInfo(path).canonicalFilePath();
    return resolved.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : resolved;
}

} // namespace

QString execArgumentValue(const QString& argument) {
    QString field = argument;
    field.replace(u'%', QStringLiteral("%%"));
    if (needsQuotes(argument)) {
        QString quoted = QStringLiteral("\"");
        for (QChar c : field) {
            if (c == u'"' || c == u'`' || c == u'$' || c == u'\\') {
                quoted += u'\\';
            }
            quoted += c;
        }
        field = quoted + u'"';
    }
    return escapeString(field);
}

QString AutostartLoginItem::entryIn(const QString& configFolder) const {
    return QDir(configFolder).filePath(autostartFolder + u'/' + settings_.fileName);
}

QByteArray AutostartLoginItem::entryText(const QString& lastLine) const {
    return (QStringLiteral("[Desktop Entry]\nType=Application\nName=") + escapeString(settings_.name) +
            u'\n' + lastLine + u'\n')
        .toUtf8();
}

std::optional<QString> AutostartLoginItem::userEntryPath() const {
    if (!settings_.configHome) {
        return std::nullopt;
    }
    return entryIn(*settings_.configHome);
}

int AutostartLoginItem::status() const {
    const std::optional<QString> user = userEntryPath();
    if (!user) {
        return loginItemStatus::notFound;
    }
    // The first folder that has the file decides, whatever the file says.
    QString effective = *user;
    if (!QFileInfo::exists(effective)) {
        effective.clear();
        for (const QString& folder : settings_.configDirs) {
            const QString candidate = entryIn(folder);
            if (QFileInfo::exists(candidate)) {
                effective = candidate;
                break;
            }
        }
    }
    if (effective.isEmpty()) {
        return loginItemStatus::notRegistered;
    }
    const std::optional<xdg::DesktopEntryFile> file = xdg::DesktopEntryFile::read(effective);
    if (!file) {
        return loginItemStatus::notRegistered;
    }
    // A hidden entry, or one that is no application, is no entry at all.
    const std::optional<xdg::DesktopEntry> entry =
        xdg::applicationEntry(*file, settings_.fileName, effective, {}, settings_.searchPath);
    if (!entry) {
        return loginItemStatus::notRegistered;
    }
    const std::optional<QStringList> arguments = xdg::splitExec(entry->exec);
    if (!arguments) {
        return loginItemStatus::notRegistered;
    }
    const QStringList expanded = xdg::expandFieldCodes(*arguments, {});
    if (expanded.isEmpty()) {
        return loginItemStatus::notRegistered;
    }
    const std::optional<QString> program = xdg::findProgram(expanded.first(), settings_.searchPath);
    if (!program || canonical(*program) != canonical(settings_.executable)) {
        return loginItemStatus::notRegistered;
    }
    return loginItemStatus::enabled;
}

void AutostartLoginItem::registerItem() const {
    write(entryText(QStringLiteral("Exec=") + execArgumentValue(settings_.executable)));
}

void AutostartLoginItem::unregisterItem() const {
    const std::optional<QString> user = userEntryPath();
    if (!user) {
        throw LoginItemError("no configuration folder for the autostart entry");
    }
    for (const QString& folder : settings_.configDirs) {
        if (QFileInfo::exists(entryIn(folder))) {
            // Removing ours would bring the system-wide one back: hide it instead.
            write(entryText(QStringLiteral("Hidden=true")));
            return;
        }
    }
    QFile file(*user);
    if (file.exists() && !file.remove()) {
        throw LoginItemError("cannot remove " + user->toStdString() + ": " +
                             file.errorString().toStdString());
    }
}

void AutostartLoginItem::write(const QByteArray& contents) const {
    const std::optional<QString> user = userEntryPath();
    if (!user) {
        throw LoginItemError("no configuration folder for the autostart entry");
    }
    const QString folder = QFileInfo(*user).absolutePath();
    if (!QDir().mkpath(folder)) {
        throw LoginItemError("cannot make the folder " + folder.toStdString());
    }
    QSaveFile file(*user);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.commit()) {
        throw LoginItemError("cannot write " + user->toStdString() + ": " + file.errorString().toStdString());
    }
}

} // namespace platform
