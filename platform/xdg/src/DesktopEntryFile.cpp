#include "platform/xdg/DesktopEntryFile.hpp"

#include <QFile>
#include <QStringConverter>
#include <QStringDecoder>

#include <algorithm>

namespace platform::xdg {

namespace {

bool isKeyCharacter(QChar c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-';
}

// A key name, optionally followed by a bracketed locale.
bool isKey(const QString& key) {
    qsizetype open = key.indexOf(u'[');
    const QString name = open < 0 ? key : key.left(open);
    if (name.isEmpty() || !std::all_of(name.begin(), name.end(), isKeyCharacter)) {
        return false;
    }
    return open < 0 || (key.endsWith(u']') && key.size() > open + 2);
}

// Resolves the escapes of a string value; a list separator escape is kept for list splitting.
QString unescape(const QString& raw, bool keepSeparator) {
    QString result;
    result.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c != u'\\' || i + 1 == raw.size()) {
            result.append(c);
            continue;
        }
        const QChar next = raw[++i];
        switch (next.unicode()) {
        case u's':
            result.append(u' ');
            break;
        case u'n':
            result.append(u'\n');
            break;
        case u't':
            result.append(u'\t');
            break;
        case u'r':
            result.append(u'\r');
            break;
        case u'\\':
            result.append(keepSeparator ? QStringLiteral("\\\\") : QStringLiteral("\\"));
            break;
        default:
            // An unknown escape, or "\;" in a list, stays as written.
            result.append(c);
            result.append(next);
        }
    }
    return result;
}

} // namespace

QStringList localeSuffixes(const QString& messageLocale) {
    QString locale = messageLocale;
    QString modifier;
    if (qsizetype at = locale.indexOf(u'@'); at >= 0) {
        modifier = locale.mid(at);
        locale.truncate(at);
    }
    if (qsizetype dot = locale.indexOf(u'.'); dot >= 0) {
        locale.truncate(dot);
    }
    if (locale.isEmpty() || locale == u"C" || locale == u"POSIX") {
        return {};
    }
    const qsizetype underscore = locale.indexOf(u'_');
    const QString language = underscore < 0 ? locale : locale.left(underscore);
    QStringList suffixes;
    auto add = [&](const QString& suffix) {
        if (!suffixes.contains(suffix)) {
            suffixes.append(suffix);
        }
    };
    if (underscore >= 0) {
        if (!modifier.isEmpty()) {
            add(locale + modifier);
        }
        add(locale);
    }
    if (!modifier.isEmpty()) {
        add(language + modifier);
    }
    add(language);
    return suffixes;
}

std::optional<DesktopEntryFile> DesktopEntryFile::parse(const QByteArray& bytes) {
    QStringDecoder decoder(QStringConverter::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        return std::nullopt;
    }
    DesktopEntryFile file;
    Group* current = nullptr;
    bool skipping = false; // inside a repeated group
    const QStringList lines = text.split(u'\n');
    for (QString line : lines) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(u'#')) {
            continue;
        }
        if (trimmed.startsWith(u'[')) {
            if (!trimmed.endsWith(u']') || trimmed.size() < 3) {
                return std::nullopt;
            }
            const QString name = trimmed.mid(1, trimmed.size() - 2);
            if (file.groups_.empty() && name != QLatin1String(desktopEntryGroup)) {
                return std::nullopt;
            }
            skipping = file.findGroup(name) != nullptr;
            if (!skipping) {
                file.groups_.push_back(Group{name, {}});
                current = &file.groups_.back();
            }
            continue;
        }
        const qsizetype equals = line.indexOf(u'=');
        if (current == nullptr || equals < 0) {
            return std::nullopt;
        }
        const QString key = line.left(equals).trimmed();
        if (!isKey(key)) {
            return std::nullopt;
        }
        if (skipping) {
            continue;
        }
        const bool known = std::any_of(current->entries.begin(), current->entries.end(),
                                       [&](const auto& entry) { return entry.first == key; });
        if (!known) {
            // Spaces after "=" are not part of the value; trailing ones are.
            QString value = line.mid(equals + 1);
            qsizetype start = 0;
            while (start < value.size() && (value[start] == u' ' || value[start] == u'\t')) {
                ++start;
            }
            current->entries.emplace_back(key, value.mid(start));
        }
    }
    if (file.groups_.empty()) {
        return std::nullopt;
    }
    return file;
}

std::optional<DesktopEntryFile> DesktopEntryFile::read(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    // No desktop entry is anywhere near this size; a larger file is not one.
    constexpr qint64 limit = 1 << 20;
    const QByteArray bytes = file.read(limit + 1);
    if (bytes.size() > limit) {
        return std::nullopt;
    }
    return parse(bytes);
}

const DesktopEntryFile::Group* DesktopEntryFile::findGroup(const QString& name) const {
    auto found = std::find_if(groups_.begin(), groups_.end(), [&](const Group& g) { return g.name == name; });
    return found == groups_.end() ? nullptr : &*found;
}

std::optional<QString> DesktopEntryFile::rawValue(const QString& group, const QString& key) const {
    const Group* found = findGroup(group);
    if (found == nullptr) {
        return std::nullopt;
    }
    for (const auto& [name, value] : found->entries) {
        if (name == key) {
            return value;
        }
    }
    return std::nullopt;
}

std::optional<QString> DesktopEntryFile::string(const QString& group, const QString& key) const {
    auto raw = rawValue(group, key);
    if (!raw) {
        return std::nullopt;
    }
    return unescape(*raw, false);
}

std::optional<QString> DesktopEntryFile::localeString(const QString& group, const QString& key,
                                                      const QStringList& suffixes) const {
    for (const QString& suffix : suffixes) {
        if (auto value = string(group, key + u'[' + suffix + u']')) {
            return value;
        }
    }
    return string(group, key);
}

std::optional<bool> DesktopEntryFile::boolean(const QString& group, const QString& key) const {
    auto raw = rawValue(group, key);
    if (raw == u"true") {
        return true;
    }
    if (raw == u"false") {
        return false;
    }
    return std::nullopt;
}

QStringList DesktopEntryFile::list(const QString& group, const QString& key) const {
    auto raw = rawValue(group, key);
    if (!raw || raw->isEmpty()) {
        return {};
    }
    const QString value = unescape(*raw, true);
    QStringList items;
    QString item;
    for (qsizetype i = 0; i < value.size(); ++i) {
        if (value[i] == u'\\' && i + 1 < value.size() && (value[i + 1] == u';' || value[i + 1] == u'\\')) {
            item.append(value[++i]);
        } else if (value[i] == u';') {
            items.append(item);
            item.clear();
        } else {
            item.append(value[i]);
        }
    }
    // The last item needs no terminator.
    if (!item.isEmpty()) {
        items.append(item);
    }
    return items;
}

} // namespace platform::xdg
