#pragma once
// The repository's window onto the synced key-value store: a consistent read of the preference
// keys with the store's fill level, the write of one key, and the store's notices as events.

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace tidewright {

// The order of the cases is part of the interface.
enum class PreferenceCloudEvent {
    // Values changed elsewhere.
    server,
    // The first download after sign-in or install has arrived.
    initialDownload,
    // The store refused values over its limits.
    quota,
    // The account's identity changed (the identity notice).
    identityChanged,
    // The store reports an account change.
    accountChanged,
};

struct PreferenceCloudSnapshot {
    // The store's answer to synchronize(): whether this read is complete.
    bool synchronized = false;
    // Every preference key in the store; a value that is not bytes reads as empty bytes.
    std::map<std::string, std::string, std::less<>> values;
    // Every key of the store, preference keys or not.
    std::size_t keyCount = 0;
    // The whole store's size as an XML property list; the largest size_t when it cannot be
    // measured, so that the store counts as full.
    std::size_t byteCount = 0;
};

// Main thread only.
class PreferenceCloud {
public:
    virtual ~PreferenceCloud() = default;

    virtual PreferenceCloudSnapshot snapshot() = 0;
    // Stores the bytes under key; the store reports nothing back.
    virtual void write(std::string_view key, std::string data) = 0;

    // Set by the repository while it runs; events that arrive while it is empty are dropped.
    std::function<void(PreferenceCloudEvent)> onEvent;
};

} // namespace tidewright
