#include "platform/defaults/UserDefaults.hpp"

#include <QByteArray>
#include <QDateTime>
#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>
#include <QString>

#include <fcntl.h>
#include <stdio.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "platform/defaults/PropertyValueJson.hpp"

namespace platform {

namespace {

Q_LOGGING_CATEGORY(defaultsLog, "app.corbelthane.tidewright.defaults")

QString qPath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// Moves a damaged file to a free name beside it, never replacing another file.
bool moveAside(const std::filesystem::path& file) {
    const std::string stamp =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'")).toStdString();
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string target = file.string() + ".damaged-" + stamp;
        if (attempt > 0) {
            target += "-" + std::to_string(attempt);
        }
        if (renameat2(AT_FDCWD, file.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0) {
            qCWarning(defaultsLog, "defaults file %s does not parse: moved to %s, starting empty",
                      file.c_str(), target.c_str());
            return true;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    qCWarning(defaultsLog,
              "defaults file %s does not parse and cannot be moved aside (%s): keeping "
              "changes in memory only",
              file.c_str(), std::strerror(errno));
    return false;
}

std::optional<PropertyValue::Dictionary> parseFile(const QByteArray& bytes) {
    const auto json = nlohmann::json::parse(bytes.begin(), bytes.end(), nullptr, false);
    if (json.is_discarded() || !json.is_object()) {
        return std::nullopt;
    }
    const auto version = json.find("version");
    const auto values = json.find("values");
    if (version == json.end() || !version->is_number_integer() || version->get<std::int64_t>() != 1 ||
        values == json.end() || !values->is_object()) {
        return std::nullopt;
    }
    PropertyValue::Dictionary result;
    for (const auto& [key, item] : values->items()) {
        auto value = decodePropertyValue(item);
        if (!value) {
            return std::nullopt;
        }
        result.emplace(key, std::move(*value));
    }
    return result;
}

} // namespace

struct UserDefaults::State {
    std::filesystem::path file;
    PropertyValue::Dictionary values;
    bool dirty = false;
    bool writePosted = false;
    // False after a file that could not be read or moved aside: it must never be overwritten.
    bool writable = true;

    void load() {
        QFile input(qPath(file));
        if (!input.exists()) {
            return;
        }
        if (!input.open(QIODevice::ReadOnly)) {
            qCWarning(defaultsLog, "defaults file %s cannot be read (%s): keeping changes in memory only",
                      file.c_str(), qPrintable(input.errorString()));
            writable = false;
            return;
        }
        const QByteArray bytes = input.readAll();
        input.close();
        if (auto parsed = parseFile(bytes)) {
            values = std::move(*parsed);
            return;
        }
        writable = moveAside(file);
    }

    bool write() {
        if (!dirty) {
            return true;
        }
        if (!writable) {
            return false;
        }
        nlohmann::json values_json = nlohmann::json::object();
        for (const auto& [key, value] : values) {
            values_json[key] = encodePropertyValue(value);
        }
        const std::string text = nlohmann::json{{"version", 1}, {"values", std::move(values_json)}}.dump();

        std::error_code error;
        std::filesystem::create_directories(file.parent_path(), error);
        QSaveFile output(qPath(file));
        if (!output.open(QIODevice::WriteOnly) ||
            !output.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
            output.write(text.data(), static_cast<qint64>(text.size())) != static_cast<qint64>(text.size()) ||
            !output.commit()) {
            qCWarning(defaultsLog, "defaults file %s cannot be written: %s", file.c_str(),
                      qPrintable(output.errorString()));
            return false;
        }
        dirty = false;
        return true;
    }
};

UserDefaults::UserDefaults(std::filesystem::path file, Executor& executor)
    : state_(std::make_shared<State>()), executor_(executor) {
    state_->file = std::move(file);
    state_->load();
}

UserDefaults::~UserDefaults() {
    state_->write();
}

std::optional<PropertyValue> UserDefaults::object(std::string_view key) const {
    const auto found = state_->values.find(key);
    if (found == state_->values.end()) {
        return std::nullopt;
    }
    return found->second;
}

std::optional<std::string> UserDefaults::data(std::string_view key) const {
    const auto found = state_->values.find(key);
    if (found == state_->values.end()) {
        return std::nullopt;
    }
    if (const auto* data = found->second.get<PropertyData>()) {
        return data->bytes;
    }
    return std::nullopt;
}

std::optional<std::string> UserDefaults::string(std::string_view key) const {
    const auto found = state_->values.find(key);
    if (found == state_->values.end()) {
        return std::nullopt;
    }
    if (const auto* text = found->second.get<std::string>()) {
        return *text;
    }
    return std::nullopt;
}

std::optional<PropertyDate> UserDefaults::date(std::string_view key) const {
    const auto found = state_->values.find(key);
    if (found == state_->values.end()) {
        return std::nullopt;
    }
    if (const auto* date = found->second.get<PropertyDate>()) {
        return *date;
    }
    return std::nullopt;
}

bool UserDefaults::set(std::string_view key, PropertyValue value) {
    if (!isWellFormedUtf8(key) || !value.isStorable()) {
        qCWarning(defaultsLog, "refused a value that cannot be stored");
        return false;
    }
    const auto found = state_->values.find(key);
    if (found != state_->values.end()) {
        if (found->second == value) {
            return true;
        }
        found->second = std::move(value);
    } else {
        state_->values.emplace(std::string(key), std::move(value));
    }
    scheduleWrite();
    return true;
}

void UserDefaults::remove(std::string_view key) {
    const auto found = state_->values.find(key);
    if (found == state_->values.end()) {
        return;
    }
    state_->values.erase(found);
    scheduleWrite();
}

const PropertyValue::Dictionary& UserDefaults::dictionaryRepresentation() const {
    return state_->values;
}

bool UserDefaults::synchronize() {
    return state_->write();
}

const std::filesystem::path& UserDefaults::file() const {
    return state_->file;
}

void UserDefaults::scheduleWrite() {
    state_->dirty = true;
    if (state_->writePosted) {
        return;
    }
    state_->writePosted = true;
    // One write per turn however many changes it saw; a job that outlives us does nothing.
    executor_.post([weak = std::weak_ptr<State>(state_)] {
        if (const auto state = weak.lock()) {
            state->writePosted = false;
            state->write();
        }
    });
}

} // namespace platform
