#pragma once
// Preference bytes kept in a user-defaults suite.

#include <memory>

#include "corbel/preferences/PreferenceStorage.hpp"
#include "platform/defaults/UserDefaults.hpp"

namespace corbel {

class DefaultsPreferenceStorage final : public PreferenceStorage {
public:
    explicit DefaultsPreferenceStorage(std::shared_ptr<platform::UserDefaults> defaults)
        : defaults_(std::move(defaults)) {}

    // A value of another type than data reads as none.
    std::optional<std::string> data(std::string_view key) override { return defaults_->data(key); }
    void set(std::string_view key, std::string bytes) override { defaults_->setData(key, std::move(bytes)); }
    void removeObject(std::string_view key) override { defaults_->remove(key); }

    const std::shared_ptr<platform::UserDefaults>& defaults() const { return defaults_; }

private:
    std::shared_ptr<platform::UserDefaults> defaults_;
};

} // namespace corbel
