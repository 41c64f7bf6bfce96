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

} // namespace platform
