#pragma once
// The update checker's records kept in the user defaults, so the schedule and the offer survive a
// relaunch. Main thread only, like the defaults it writes to.

#include <optional>
#include <string>
#include <string_view>

#include "corbel/updates/UpdateRecordStore.hpp"
#include "platform/defaults/UserDefaults.hpp"

namespace corbel {

class DefaultsUpdateRecordStore final : public UpdateRecordStore {
public:
    // REQUIRES: defaults outlives this store.
    explicit DefaultsUpdateRecordStore(platform::UserDefaults& defaults) : defaults_(defaults) {}

    std::optional<double> date(std::string_view key) const override {
        const auto value = defaults_.date(key);
        if (!value)
            return std::nullopt;
        return value->secondsSince1970;
    }
    std::optional<std::string> string(std::string_view key) const override { return defaults_.string(key); }

    // The defaults refuse a date that is not finite; the checker then finds no date, which it
    // treats as never having had an answer.
    void setDate(std::string_view key, double secondsSince1970) override {
        defaults_.set(key, platform::PropertyValue::date(secondsSince1970));
    }
    void setString(std::string_view key, std::string text) override {
        defaults_.setString(key, std::move(text));
    }
    void remove(std::string_view key) override { defaults_.remove(key); }

private:
    platform::UserDefaults& defaults_;
};

} // namespace corbel
