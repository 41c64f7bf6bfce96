#pragma once
// The stores every preference of the system speaks: a key-to-bytes store, and one synchronised
// across installations that also reports changes made elsewhere and the problem it last had.

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace corbel {

// Main thread only. None of the operations fails or reports failure.
class PreferenceStorage {
public:
    virtual ~PreferenceStorage() = default;

    // The bytes stored under key; none when nothing, or no bytes value, is stored.
    virtual std::optional<std::string> data(std::string_view key) = 0;
    // Stores the bytes under key, replacing what was there.
    virtual void set(std::string_view key, std::string bytes) = 0;
    // Removing a missing key is no error.
    virtual void removeObject(std::string_view key) = 0;
};

// Stored by nobody; the order is the order of the cases' meaning only.
enum class PreferenceCloudIssue {
    quotaExceeded,
    accountChanged,
    accountUnavailable,
};

using ExternalChangeHandler = std::function<void(const std::set<std::string>& changedKeys)>;

class PreferenceCloudStorage : public PreferenceStorage {
public:
    // Called on the main thread, on a later turn, after the store reported a change made
    // elsewhere, with the changed keys (empty when the store named none).
    virtual const ExternalChangeHandler& onExternalChange() const = 0;
    virtual void setOnExternalChange(ExternalChangeHandler handler) = 0;
    // The problem the store reported with its last external change.
    virtual std::optional<PreferenceCloudIssue> issue() const { return std::nullopt; }
    // Asks the store to exchange its values soon.
    virtual void synchronize() = 0;
};

} // namespace corbel
