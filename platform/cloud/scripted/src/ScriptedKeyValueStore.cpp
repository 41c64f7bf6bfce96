#include "platform/cloud/ScriptedKeyValueStore.hpp"

namespace platform {

std::optional<PropertyValue> ScriptedKeyValueStore::object(std::string_view key) const {
    const auto found = values.find(key);
    if (found == values.end()) {
        return std::nullopt;
    }
    return found->second;
}

void ScriptedKeyValueStore::set(std::string_view key, PropertyValue value) {
    writes.push_back("set " + std::string(key));
    values.insert_or_assign(std::string(key), std::move(value));
}

void ScriptedKeyValueStore::remove(std::string_view key) {
    writes.push_back("remove " + std::string(key));
    if (const auto found = values.find(key); found != values.end()) {
        values.erase(found);
    }
}

bool ScriptedKeyValueStore::synchronize() {
    ++synchronizeCalls;
    return synchronizeAnswer;
}

Subscription
ScriptedKeyValueStore::observeExternalChanges(std::function<void(const KeyValueStoreChange&)> observer) {
    return observers_.add(std::move(observer));
}

void ScriptedKeyValueStore::deliver(KeyValueStoreChangeReason reason,
                                    const std::vector<std::string>& keys) const {
    deliver(makeKeyValueStoreChange(reason, keys));
}

} // namespace platform
