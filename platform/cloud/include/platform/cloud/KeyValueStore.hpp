#pragma once
// The synced key-value store: typed values by key, read and written without waiting, and notices
// of changes made by other installations.

#include <cstdint>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/cloud/Observers.hpp"
#include "platform/defaults/PropertyValue.hpp"

namespace platform {

// What a store reports about changes made elsewhere. The user information is loosely typed on
// purpose, as the notice's readers must not trust it: a reason under changeReasonKey (an integer,
// KeyValueStoreChangeReason) and the changed keys under changedKeysKey (an array of strings).
struct KeyValueStoreChange {
    std::optional<PropertyValue::Dictionary> userInfo;
};

inline constexpr std::string_view changeReasonKey = "reason";
inline constexpr std::string_view changedKeysKey = "changedKeys";

// Stored by other installations' readers as plain integers: the values must not change.
enum class KeyValueStoreChangeReason : std::int64_t {
    serverChange = 0,
    initialSyncChange = 1,
    quotaViolationChange = 2,
    accountChange = 3,
};

// A well-formed notice: the reason and the changed keys in the given order.
KeyValueStoreChange makeKeyValueStoreChange(KeyValueStoreChangeReason reason,
                                            const std::vector<std::string>& keys);

// The reason of a notice when it is an integer; none when it is missing or of another type.
std::optional<std::int64_t> changeReason(const KeyValueStoreChange& change);
// The changed keys when they are an array of strings; empty for anything else.
std::set<std::string> changedKeys(const KeyValueStoreChange& change);

// Main thread only.
class KeyValueStore {
public:
    virtual ~KeyValueStore() = default;

    // The value under key, of any type; none when nothing is stored.
    virtual std::optional<PropertyValue> object(std::string_view key) const = 0;
    // Stores value under key. A write the store refuses (over its limits, a key it cannot hold, a
    // value that cannot be stored) changes nothing and is reported by a later notice with reason
    // quotaViolationChange.
    virtual void set(std::string_view key, PropertyValue value) = 0;
    // Removing a missing key is no error.
    virtual void remove(std::string_view key) = 0;
    // Every key of the store with its value.
    virtual PropertyValue::Dictionary dictionaryRepresentation() const = 0;
    // Brings the store up to date with what is known of other installations' changes; answers
    // whether the store can exchange values at all.
    virtual bool synchronize() = 0;
    // Called on the main thread, on a later turn, for changes this store object did not make; only
    // observers of this store object are called.
    virtual Subscription
    observeExternalChanges(std::function<void(const KeyValueStoreChange&)> observer) = 0;

    // The bytes under key; none when nothing, or a value that is not data, is stored.
    std::optional<std::string> data(std::string_view key) const {
        const auto value = object(key);
        if (!value) {
            return std::nullopt;
        }
        if (const auto* data = value->get<PropertyData>()) {
            return data->bytes;
        }
        return std::nullopt;
    }
    void setData(std::string_view key, std::string bytes) { set(key, PropertyValue::data(std::move(bytes))); }
};

} // namespace platform
