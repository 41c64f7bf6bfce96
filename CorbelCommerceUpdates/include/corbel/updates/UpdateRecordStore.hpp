#pragma once
// Where the update checker keeps its schedule and offer across launches: the few typed reads and
// writes it makes of the user defaults, by key. Main thread only.

#include <optional>
#include <string>
#include <string_view>

namespace corbel {

class UpdateRecordStore {
public:
    virtual ~UpdateRecordStore() = default;

    // The date stored under key as seconds since 1970; none when nothing, or a value of another
    // type, is stored there. The value comes from a user-writable file: it may not be finite.
    virtual std::optional<double> date(std::string_view key) const = 0;
    // The text stored under key; none when nothing, or a value of another type, is stored there.
    virtual std::optional<std::string> string(std::string_view key) const = 0;

    virtual void setDate(std::string_view key, double secondsSince1970) = 0;
    virtual void setString(std::string_view key, std::string text) = 0;
    // Removing a missing key is no error.
    virtual void remove(std::string_view key) = 0;
};

} // namespace corbel
