#pragma once
// The groups and keys of one desktop-entry file, read by the Desktop Entry rules: the first group
// is "Desktop Entry", values unescape \s \n \t \r \\, lists split at unescaped ";", and localised
// keys ("Name[de_DE]") are chosen for a message locale such as "de_DE.UTF-8@euro".

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

class QByteArray;

namespace platform::xdg {

inline constexpr const char* desktopEntryGroup = "Desktop Entry";

// The keys to try for a message locale, most specific first, each to be appended to a key in
// brackets: "de_DE.UTF-8@euro" gives de_DE@euro, de_DE, de@euro, de. "C", "POSIX" and "" give
// none.
QStringList localeSuffixes(const QString& messageLocale);

class DesktopEntryFile {
public:
    // Nothing when the text is not a desktop entry: not UTF-8, a line that is neither blank, a
    // comment, a group header nor a key, or a first group other than "Desktop Entry". A repeated
    // group or key keeps its first occurrence.
    static std::optional<DesktopEntryFile> parse(const QByteArray& bytes);
    // Nothing as well when the file cannot be read.
    static std::optional<DesktopEntryFile> read(const QString& path);

    bool hasGroup(const QString& group) const { return findGroup(group) != nullptr; }
    // The value as written, escapes and all.
    std::optional<QString> rawValue(const QString& group, const QString& key) const;
    // The value with its escapes resolved.
    std::optional<QString> string(const QString& group, const QString& key) const;
    // The best localised variant for the locale's suffixes, else the plain key.
    std::optional<QString> localeString(const QString& group, const QString& key,
                                        const QStringList& suffixes) const;
    // "true" or "false"; anything else is nothing.
    std::optional<bool> boolean(const QString& group, const QString& key) const;
    // Items separated by ";" ("\;" is a literal one); an empty value is an empty list.
    QStringList list(const QString& group, const QString& key) const;

private:
    struct Group {
        QString name;
        std::vector<std::pair<QString, QString>> entries; // key, raw value
    };
    const Group* findGroup(const QString& name) const;

    std::vector<Group> groups_;
};

} // namespace platform::xdg
