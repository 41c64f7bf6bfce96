#pragma once
// User defaults: typed values by key, kept in one JSON file per suite. Reads answer from memory;
// changes are written atomically, at most once per turn of the main loop and at destruction.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/concurrency/Executor.hpp"
#include "platform/defaults/PropertyValue.hpp"

namespace platform {

// The file is {"version": 1, "values": {key: typed value}} (see PropertyValueJson.hpp), mode 0600.
// A file that cannot be read as that is moved aside beside itself (its name plus ".damaged-" and a
// time), never overwritten, and the defaults begin empty; when it cannot be moved, nothing is
// written for the life of the object.
//
// Main thread only: every member must be called on the thread of the executor given to the
// constructor, which must be the main executor (or a test's manual executor).
class UserDefaults {
public:
    // Reads the file at once. REQUIRES: executor outlives this object.
    UserDefaults(std::filesystem::path file, Executor& executor);
    // Writes pending changes.
    ~UserDefaults();
    UserDefaults(const UserDefaults&) = delete;
    UserDefaults& operator=(const UserDefaults&) = delete;

    // The value under key, of any type; none when nothing is stored.
    std::optional<PropertyValue> object(std::string_view key) const;
    // The value under key when it has that type; none when nothing or another type is stored.
    std::optional<std::string> data(std::string_view key) const;
    std::optional<std::string> string(std::string_view key) const;
    std::optional<PropertyDate> date(std::string_view key) const;

    // Stores value under key, replacing what was there. Answers false, changing nothing, when the
    // key is not well-formed UTF-8 or the value is not storable (PropertyValue::isStorable()).
    bool set(std::string_view key, PropertyValue value);
    bool setData(std::string_view key, std::string bytes) {
        return set(key, PropertyValue::data(std::move(bytes)));
    }
    bool setString(std::string_view key, std::string text) {
        return set(key, PropertyValue::string(std::move(text)));
    }
    // Removing a missing key is no error.
    void remove(std::string_view key);

    // Every key with its value, ordered by the keys' bytes.
    const PropertyValue::Dictionary& dictionaryRepresentation() const;

    // Writes pending changes now instead of on the next turn; answers whether the file holds
    // every change.
    bool synchronize();

    const std::filesystem::path& file() const;

private:
    struct State;
    void scheduleWrite();

    std::shared_ptr<State> state_;
    Executor& executor_;
};

} // namespace platform
