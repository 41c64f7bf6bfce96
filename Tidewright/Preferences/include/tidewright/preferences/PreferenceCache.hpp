#pragma once
// The local copy of the synced preferences: a key-to-bytes store that can also list its keys by
// prefix, and the live one over the user defaults.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "corbel/preferences/DefaultsPreferenceStorage.hpp"
#include "corbel/preferences/PreferenceStorage.hpp"
#include "platform/defaults/UserDefaults.hpp"

namespace tidewright {

// Main thread only.
class PreferenceCache : public corbel::PreferenceStorage {
public:
    // Every key of the store that begins with prefix, in the store's own order; values are not read.
    virtual std::vector<std::string> entries(std::string_view prefix) = 0;
};

class DefaultsPreferenceCache final : public PreferenceCache {
public:
    explicit DefaultsPreferenceCache(std::shared_ptr<platform::UserDefaults> defaults)
        : defaults_(defaults), storage_(std::move(defaults)) {}

    std::optional<std::string> data(std::string_view key) override { return storage_.data(key); }
    void set(std::string_view key, std::string bytes) override { storage_.set(key, std::move(bytes)); }
    void removeObject(std::string_view key) override { storage_.removeObject(key); }
    // In the byte order of the keys.
    std::vector<std::string> entries(std::string_view prefix) override;

private:
    std::shared_ptr<platform::UserDefaults> defaults_;
    corbel::DefaultsPreferenceStorage storage_;
};

} // namespace tidewright
