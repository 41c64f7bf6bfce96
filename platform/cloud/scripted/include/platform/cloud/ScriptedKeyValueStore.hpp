#pragma once
// A synced store and an account identity that a test drives by hand: values live in memory, and a
// notice is delivered when the test says so, with whatever user information it chooses.

#include <optional>
#include <string>
#include <vector>

#include "platform/cloud/CloudIdentity.hpp"
#include "platform/cloud/KeyValueStore.hpp"

namespace platform {

class ScriptedKeyValueStore final : public KeyValueStore {
public:
    std::optional<PropertyValue> object(std::string_view key) const override;
    void set(std::string_view key, PropertyValue value) override;
    void remove(std::string_view key) override;
    PropertyValue::Dictionary dictionaryRepresentation() const override { return values; }
    bool synchronize() override;
    Subscription
    observeExternalChanges(std::function<void(const KeyValueStoreChange&)> observer) override;

    // Calls this store's observers now, as the event loop would on a later turn.
    void deliver(const KeyValueStoreChange& change) const { observers_.notify(change); }
    // A well-formed notice with a reason and changed keys.
    void deliver(KeyValueStoreChangeReason reason, const std::vector<std::string>& keys) const;
    bool hasObservers() const { return !observers_.empty(); }

    PropertyValue::Dictionary values;
    bool synchronizeAnswer = true;
    int synchronizeCalls = 0;
    // Every set and remove, in order, as "set KEY" or "remove KEY".
    std::vector<std::string> writes;

private:
    ObserverList<KeyValueStoreChange> observers_;
};

class ScriptedCloudIdentity final : public CloudIdentity {
public:
    std::optional<CloudIdentityToken> identityToken() const override { return token; }
    Subscription observeIdentityChanges(std::function<void()> observer) override {
        return observers_.add(std::move(observer));
    }
    // Replaces the token and calls the observers now.
    void change(std::optional<CloudIdentityToken> newToken) {
        token = newToken;
        observers_.notify();
    }

    std::optional<CloudIdentityToken> token;

private:
    ObserverList<> observers_;
};

// A token whose digest is the byte repeated.
inline CloudIdentityToken scriptedToken(std::uint8_t byte) {
    std::array<std::uint8_t, 32> digest{};
    digest.fill(byte);
    return CloudIdentityToken(digest);
}

} // namespace platform
