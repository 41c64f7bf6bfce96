#pragma once
// Keeps a fixed set of preference values in a local store and a synced one at once, each as a
// versioned record merged by revision, and ties the local copies to the synced account.

#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "corbel/core/PreferenceRecord.hpp"
#include "corbel/preferences/PreferenceStorage.hpp"
#include "platform/cloud/CloudIdentity.hpp"
#include "platform/cloud/KeyValueStore.hpp"
#include "platform/concurrency/Executor.hpp"
#include "platform/defaults/UserDefaults.hpp"

namespace corbel {

// Which account the local copies belong to.
class PreferenceAccountIdentity {
public:
    enum class Kind {
        account,     // named by a marker this installation made for it
        unavailable, // no account, or none that can be told apart
        isolated,    // not tied to any account: no marker is compared or stored
    };

    static PreferenceAccountIdentity account(std::string marker) {
        return {Kind::account, std::move(marker)};
    }
    static PreferenceAccountIdentity unavailable() { return {Kind::unavailable, {}}; }
    static PreferenceAccountIdentity isolated() { return {Kind::isolated, {}}; }

    Kind kind() const noexcept { return kind_; }
    // The marker's bytes; empty unless kind() is account.
    const std::string& marker() const noexcept { return marker_; }
    bool operator==(const PreferenceAccountIdentity&) const = default;

private:
    PreferenceAccountIdentity(Kind kind, std::string marker) : kind_(kind), marker_(std::move(marker)) {}

    Kind kind_;
    std::string marker_;
};

// Main thread only. Nothing here fails loudly: a value that cannot be read reads as none, and a
// write that cannot be made is dropped, leaving both stores as they were.
class PreferenceSync : public std::enable_shared_from_this<PreferenceSync> {
public:
    using AccountProvider = std::function<PreferenceAccountIdentity()>;
    using ObserverID = std::string;

    static constexpr std::string_view prefix = "syncedPreference.v1.";
    static constexpr std::string_view writerKey = "syncedPreference.writer";
    static constexpr std::string_view accountKey = "syncedPreference.account";
    static constexpr std::string_view archivedAccountTokenKey = "syncedPreference.archivedAccountToken";
    static constexpr std::string_view accountMarkerKey = "syncedPreference.accountMarker";

    // Adopts the account, handles the cloud's external changes from now on, reconciles every key
    // and asks the cloud to synchronise. Without a provider, account is used unchanged.
    static std::shared_ptr<PreferenceSync> create(std::shared_ptr<PreferenceStorage> local,
                                                  std::shared_ptr<PreferenceCloudStorage> cloud,
                                                  std::set<std::string> keys, std::string writerID,
                                                  PreferenceAccountIdentity account,
                                                  AccountProvider accountProvider = {});

    // The live sync over one defaults suite and the synced store, following the store's account
    // identity. REQUIRES: executor is the main executor and outlives the sync.
    static std::shared_ptr<PreferenceSync> live(std::shared_ptr<platform::UserDefaults> defaults,
                                                std::set<std::string> keys,
                                                std::shared_ptr<platform::KeyValueStore> store,
                                                std::shared_ptr<platform::CloudIdentity> identity,
                                                platform::Executor& executor);

    // The value of a managed key decoded from its JSON as T; none when absent, removed, unreadable
    // or not a T. The cloud is not read.
    template <class T>
    std::optional<T> value(std::string_view key) const {
        const auto json = payload(key);
        if (!json) {
            return std::nullopt;
        }
        const auto parsed = nlohmann::json::parse(*json, nullptr, false);
        if (parsed.is_discarded()) {
            return std::nullopt;
        }
        try {
            return parsed.get<T>();
        } catch (const nlohmann::json::exception&) {
            return std::nullopt;
        }
    }

    // Stores value's JSON under a managed key; JSON above 32,768 bytes is dropped.
    template <class T>
    void set(const T& value, std::string_view key) {
        std::string json;
        try {
            json = nlohmann::json(value).dump();
        } catch (const nlohmann::json::exception&) {
            return;
        }
        setPayload(key, std::move(json));
    }

    // The local record's payload: the value's JSON text.
    std::optional<std::string> payload(std::string_view key) const;
    void setPayload(std::string_view key, std::string json);
    // Writes a record without payload.
    void remove(std::string_view key);
    // Whether the local record exists and has no payload.
    bool isReset(std::string_view key) const;

    // Calls handler whenever a reconciliation changes the key's local record. The key is not
    // checked against the managed keys.
    ObserverID observe(std::string key, std::function<void()> handler);
    void removeObserver(const ObserverID& id);

    std::optional<PreferenceCloudIssue> issue() const { return issue_; }
    const PreferenceAccountIdentity& account() const { return account_; }

    // Merges the local and the cloud records of the managed keys whose storage keys changed
    // (every key when changedStorageKeys is empty).
    void refresh(const std::set<std::string>& changedStorageKeys);

    static std::string storageKey(std::string_view key) { return std::string(prefix) + std::string(key); }

private:
    PreferenceSync(std::shared_ptr<PreferenceStorage> local, std::shared_ptr<PreferenceCloudStorage> cloud,
                   std::set<std::string> keys, std::string writerID, PreferenceAccountIdentity account,
                   AccountProvider accountProvider);

    struct StoredRecord {
        bool hasBytes = false;
        std::optional<PreferenceRecord> record; // none when absent or unreadable
        bool unreadable() const { return hasBytes && !record; }
    };
    static StoredRecord read(PreferenceStorage& store, const std::string& storageKey);

    void start();
    void adoptAccount();
    bool refreshAccount();
    void clearLocalValues();
    void write(std::optional<std::string> payload, std::string_view key);
    void notifyObservers(const std::string& key);

    std::shared_ptr<PreferenceStorage> local_;
    std::shared_ptr<PreferenceCloudStorage> cloud_;
    std::set<std::string> keys_;
    std::string writerID_;
    PreferenceAccountIdentity account_;
    AccountProvider accountProvider_;
    platform::Subscription identityObserver_;
    std::map<ObserverID, std::pair<std::string, std::function<void()>>> observers_;
    std::optional<PreferenceCloudIssue> issue_;
};

} // namespace corbel
