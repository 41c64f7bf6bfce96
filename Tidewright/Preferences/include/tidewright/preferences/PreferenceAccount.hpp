#pragma once
// The synced account the preferences belong to, and the source that names the current one.

#include <string>

namespace tidewright {

class PreferenceAccount {
public:
    // An account, named by the marker this installation made for it when it first saw it.
    static PreferenceAccount account(std::string marker) {
        return PreferenceAccount(true, std::move(marker));
    }
    // No account, or none that can be told apart safely.
    static PreferenceAccount unavailable() { return PreferenceAccount(false, {}); }

    bool isAvailable() const noexcept { return available_; }
    // Empty when unavailable.
    const std::string& marker() const noexcept { return marker_; }

    // The same account: both available with equal markers, or both unavailable.
    bool operator==(const PreferenceAccount&) const = default;

private:
    PreferenceAccount(bool available, std::string marker)
        : available_(available), marker_(std::move(marker)) {}

    bool available_;
    std::string marker_;
};

// Main thread only.
class PreferenceAccountReading {
public:
    virtual ~PreferenceAccountReading() = default;
    virtual PreferenceAccount resolve() = 0;
};

} // namespace tidewright
