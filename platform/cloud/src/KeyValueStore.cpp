#include "platform/cloud/KeyValueStore.hpp"

namespace platform {

KeyValueStoreChange makeKeyValueStoreChange(KeyValueStoreChangeReason reason,
                                            const std::vector<std::string>& keys) {
    PropertyValue::Array names;
    names.reserve(keys.size());
    for (const auto& key : keys) {
        names.push_back(PropertyValue::string(key));
    }
    return {PropertyValue::Dictionary{
        {std::string(changeReasonKey), PropertyValue::integer(static_cast<std::int64_t>(reason))},
        {std::string(changedKeysKey), PropertyValue::array(std::move(names))},
    }};
}

std::optional<std::int64_t> changeReason(const KeyValueStoreChange& change) {
    if (!change.userInfo) {
        return std::nullopt;
    }
    const auto found = change.userInfo->find(changeReasonKey);
    if (found == change.userInfo->end()) {
        return std::nullopt;
    }
    if (const auto* reason = found->second.get<std::int64_t>()) {
        return *reason;
    }
    return std::nullopt;
}

std::set<std::string> changedKeys(const KeyValueStoreChange& change) {
    if (!change.userInfo) {
        return {};
    }
    const auto found = change.userInfo->find(changedKeysKey);
    if (found == change.userInfo->end()) {
        return {};
    }
    const auto* names = found->second.get<PropertyValue::Array>();
    if (names == nullptr) {
        return {};
    }
    std::set<std::string> keys;
    for (const auto& name : *names) {
        const auto* key = name.get<std::string>();
        if (key == nullptr) {
            return {}; // one key that is not a string spoils the list
        }
        keys.insert(*key);
    }
    return keys;
}

} // namespace platform
