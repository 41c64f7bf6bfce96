#pragma once
// The application's login item as an XDG autostart entry: the entry named after the application
// id in the user's autostart folder, which shadows a system-wide entry of the same name.

#include <QString>
#include <QStringList>

#include <optional>
#include <stdexcept>

namespace platform {

// Why a registration or an unregistration did not take effect.
struct LoginItemError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The status values of a login item. Callers map the raw value, so it is kept as a plain number.
namespace loginItemStatus {
inline constexpr int notRegistered = 0;
inline constexpr int enabled = 1;
inline constexpr int requiresApproval = 2; // never answered here: autostart needs no approval
inline constexpr int notFound = 3;
} // namespace loginItemStatus

// Holds only paths, so it is safe for concurrent access; each call reads or writes the folders anew.
class AutostartLoginItem {
public:
    struct Settings {
        // $XDG_CONFIG_HOME (else ~/.config); nothing when no configuration folder can be found.
        std::optional<QString> configHome;
        // $XDG_CONFIG_DIRS in precedence order, for the system-wide entries.
        QStringList configDirs;
        // The running executable's absolute path, which the entry starts.
        QString executable;
        // The entry's file name under autostart/, and its Name.
        QString fileName;
        QString name;
        // $PATH, for an entry that names its program without a slash.
        QStringList searchPath;
    };

    explicit AutostartLoginItem(Settings settings) : settings_(std::move(settings)) {}

    // enabled when the effective entry (the user's, else the first system-wide one) exists, is not
    // hidden and starts this executable; notRegistered otherwise; notFound without a configuration
    // folder.
    int status() const;

    // Writes the user's entry, atomically, starting this executable. THROWS LoginItemError.
    void registerItem() const;
    // Removes the user's entry, or, when a system-wide entry of that name exists, writes a hidden
    // one over it. THROWS LoginItemError.
    void unregisterItem() const;

    // The user's entry file; nothing without a configuration folder.
    std::optional<QString> userEntryPath() const;

private:
    // The entry's file under a configuration folder.
    QString entryIn(const QString& configFolder) const;
    QByteArray entryText(const QString& lastLine) const;
    void write(const QByteArray& contents) const;

    Settings settings_;
};

// One argument of an Exec line, quoted when it needs to be, and then escaped as a desktop-entry
// string value: the reader's string unescaping, Exec splitting and field-code expansion give the
// argument back unchanged.
QString execArgumentValue(const QString& argument);

} // namespace platform
