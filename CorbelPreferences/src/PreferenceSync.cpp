#include "corbel/preferences/PreferenceSync.hpp"

#include <cstdint>
#include <limits>
#include <vector>

#include "corbel/preferences/DefaultsPreferenceStorage.hpp"
#include "corbel/preferences/UbiquitousPreferenceStorage.hpp"
#include "corbel/preferences/Uuid.hpp"
#include "corbel/preferences/WriterIdentity.hpp"
#include "platform/concurrency/WeakCall.hpp"

namespace corbel {

namespace {

// The account of the identity's current token, with the marker this installation keeps for the
// last token it saw; a token it did not see last gets a new marker.
PreferenceAccountIdentity resolveAccount(const platform::CloudIdentity& identity, PreferenceStorage& local) {
    const auto token = identity.identityToken();
    if (!token) {
        return PreferenceAccountIdentity::unavailable();
    }
    const std::string archive = token->archive();
    const auto storedArchive = local.data(PreferenceSync::archivedAccountTokenKey);
    const auto storedMarker = local.data(PreferenceSync::accountMarkerKey);
    if (storedArchive && storedMarker && platform::CloudIdentityToken::unarchive(*storedArchive) == token) {
        return PreferenceAccountIdentity::account(*storedMarker);
    }
    std::string marker = makeUuidString();
    local.set(PreferenceSync::archivedAccountTokenKey, archive);
    local.set(PreferenceSync::accountMarkerKey, marker);
    return PreferenceAccountIdentity::account(std::move(marker));
}

} // namespace

PreferenceSync::PreferenceSync(std::shared_ptr<PreferenceStorage> local,
                               std::shared_ptr<PreferenceCloudStorage> cloud, std::set<std::string> keys,
                               std::string writerID, PreferenceAccountIdentity account,
                               AccountProvider accountProvider)
    : local_(std::move(local)), cloud_(std::move(cloud)), keys_(std::move(keys)),
      writerID_(std::move(writerID)), account_(std::move(account)),
      accountProvider_(std::move(accountProvider)) {}

std::shared_ptr<PreferenceSync> PreferenceSync::create(std::shared_ptr<PreferenceStorage> local,
                                                       std::shared_ptr<PreferenceCloudStorage> cloud,
                                                       std::set<std::string> keys, std::string writerID,
                                                       PreferenceAccountIdentity account,
                                                       AccountProvider accountProvider) {
    std::shared_ptr<PreferenceSync> sync(new PreferenceSync(std::move(local), std::move(cloud),
                                                            std::move(keys), std::move(writerID),
                                                            std::move(account), std::move(accountProvider)));
    sync->start();
    return sync;
}

std::shared_ptr<PreferenceSync> PreferenceSync::live(std::shared_ptr<platform::UserDefaults> defaults,
                                                     std::set<std::string> keys,
                                                     std::shared_ptr<platform::KeyValueStore> store,
                                                     std::shared_ptr<platform::CloudIdentity> identity,
                                                     platform::Executor& executor) {
    std::string writer = checkedWriterIdentity(*defaults, writerKey);
    auto local = std::make_shared<DefaultsPreferenceStorage>(std::move(defaults));
    auto cloud = UbiquitousPreferenceStorage::create(std::move(store), executor);
    auto account = resolveAccount(*identity, *local);
    AccountProvider provider = [weakIdentity = std::weak_ptr<platform::CloudIdentity>(identity),
                                weakLocal = std::weak_ptr<PreferenceStorage>(local)] {
        const auto currentIdentity = weakIdentity.lock();
        const auto currentLocal = weakLocal.lock();
        if (!currentIdentity || !currentLocal) {
            return PreferenceAccountIdentity::unavailable();
        }
        return resolveAccount(*currentIdentity, *currentLocal);
    };
    auto sync = create(std::move(local), std::move(cloud), std::move(keys), std::move(writer),
                       std::move(account), std::move(provider));
    sync->identityObserver_ =
        identity->observeIdentityChanges([weak = std::weak_ptr<PreferenceSync>(sync), &executor] {
            executor.post([weak] {
                if (const auto self = weak.lock()) {
                    self->refresh({});
                }
            });
        });
    return sync;
}

void PreferenceSync::start() {
    adoptAccount();
    cloud_->setOnExternalChange(platform::weakCall(weak_from_this(), &PreferenceSync::refresh));
    std::set<std::string> all;
    for (const auto& key : keys_) {
        all.insert(storageKey(key));
    }
    refresh(all);
    cloud_->synchronize();
}

PreferenceSync::StoredRecord PreferenceSync::read(PreferenceStorage& store, const std::string& storageKey) {
    const auto bytes = store.data(storageKey);
    if (!bytes) {
        return {};
    }
    StoredRecord stored{true, std::nullopt};
    if (bytes->size() <= PreferenceRecord::maximumStoredBytes) {
        auto record = PreferenceRecord::decode(*bytes);
        if (record && record->isSupported()) {
            stored.record = std::move(record);
        }
    }
    return stored;
}

void PreferenceSync::clearLocalValues() {
    for (const auto& key : keys_) {
        local_->removeObject(storageKey(key));
    }
}

void PreferenceSync::adoptAccount() {
    switch (account_.kind()) {
    case PreferenceAccountIdentity::Kind::isolated:
        return;
    case PreferenceAccountIdentity::Kind::unavailable:
        // An installation without an account never stores a marker: clearing here would erase its
        // local-only writes at every start. An account that appears later still starts clean,
        // when refreshAccount() finds no marker stored.
        return;
    case PreferenceAccountIdentity::Kind::account:
        if (local_->data(accountKey) != account_.marker()) {
            clearLocalValues();
            local_->set(accountKey, account_.marker());
        }
        return;
    }
}

bool PreferenceSync::refreshAccount() {
    if (issue_ == PreferenceCloudIssue::accountChanged) {
        return false;
    }
    PreferenceAccountIdentity current = accountProvider_ ? accountProvider_() : account_;
    if (current.kind() == PreferenceAccountIdentity::Kind::account && !(account_ == current)) {
        const auto stored = local_->data(accountKey);
        if (!stored) {
            clearLocalValues();
            local_->set(accountKey, current.marker());
        } else if (*stored == current.marker()) {
            local_->set(accountKey, current.marker());
        } else {
            clearLocalValues();
            issue_ = PreferenceCloudIssue::accountChanged;
            return false;
        }
    }
    account_ = std::move(current);
    if (account_.kind() == PreferenceAccountIdentity::Kind::unavailable) {
        issue_ = PreferenceCloudIssue::accountUnavailable;
        return false;
    }
    if (issue_ == PreferenceCloudIssue::accountUnavailable) {
        issue_ = std::nullopt;
    }
    return true;
}

void PreferenceSync::refresh(const std::set<std::string>& changedStorageKeys) {
    const bool wasUnavailable = account_.kind() == PreferenceAccountIdentity::Kind::unavailable;
    if (!refreshAccount()) {
        return;
    }
    const auto cloudIssue = cloud_->issue();
    if (cloudIssue == PreferenceCloudIssue::accountChanged &&
        (!accountProvider_ || account_.kind() == PreferenceAccountIdentity::Kind::isolated)) {
        issue_ = PreferenceCloudIssue::accountChanged;
        clearLocalValues();
        return;
    }
    if (cloudIssue && cloudIssue != PreferenceCloudIssue::accountChanged) {
        issue_ = cloudIssue;
        return;
    }
    issue_ = std::nullopt;

    for (const auto& key : keys_) {
        const std::string stored = storageKey(key);
        if (!changedStorageKeys.empty() && !wasUnavailable && changedStorageKeys.count(stored) == 0) {
            continue;
        }
        const auto localRecord = read(*local_, stored);
        const auto cloudRecord = read(*cloud_, stored);
        if (localRecord.unreadable() || cloudRecord.unreadable()) {
            continue; // never overwrite what cannot be read
        }
        std::optional<PreferenceRecord> merged;
        if (localRecord.record && cloudRecord.record) {
            merged = localRecord.record->merged(*cloudRecord.record);
        } else if (localRecord.record) {
            merged = localRecord.record;
        } else if (cloudRecord.record) {
            merged = cloudRecord.record;
        } else {
            continue;
        }
        const auto encoded = merged->encode();
        if (!encoded) {
            continue;
        }
        if (cloudRecord.record != merged) {
            cloud_->set(stored, *encoded);
        }
        if (localRecord.record != merged) {
            local_->set(stored, *encoded);
            notifyObservers(key);
        }
    }
}

void PreferenceSync::notifyObservers(const std::string& key) {
    // A copy: an observer may register or remove observers, itself included, while it runs.
    const auto observers = observers_;
    for (const auto& [id, observer] : observers) {
        if (observer.first == key && observers_.count(id) != 0) {
            observer.second();
        }
    }
}

void PreferenceSync::write(std::optional<std::string> payload, std::string_view key) {
    if (keys_.count(std::string(key)) == 0 || writerID_.empty()) {
        return;
    }
    if (account_.kind() == PreferenceAccountIdentity::Kind::unavailable) {
        refresh({});
    }
    if (!refreshAccount() && issue_ != PreferenceCloudIssue::accountUnavailable) {
        return;
    }
    const std::string stored = storageKey(key);
    StoredRecord cloudRecord;
    if (issue_ != PreferenceCloudIssue::accountUnavailable) {
        cloudRecord = read(*cloud_, stored);
        if (cloudRecord.unreadable()) {
            return;
        }
    }
    const auto localRecord = read(*local_, stored);
    if (localRecord.unreadable()) {
        return;
    }
    std::uint64_t base = 0;
    if (localRecord.record && cloudRecord.record) {
        base = localRecord.record->merged(*cloudRecord.record).revision;
    } else if (localRecord.record) {
        base = localRecord.record->revision;
    } else if (cloudRecord.record) {
        base = cloudRecord.record->revision;
    }
    if (base == std::numeric_limits<std::uint64_t>::max()) {
        return;
    }
    const PreferenceRecord record(base + 1, writerID_, std::move(payload));
    if (!record.isSupported()) {
        return;
    }
    const auto encoded = record.encode();
    if (!encoded) {
        return;
    }
    local_->set(stored, *encoded);
    if (!issue_) {
        cloud_->set(stored, *encoded);
    }
}

std::optional<std::string> PreferenceSync::payload(std::string_view key) const {
    if (keys_.count(std::string(key)) == 0) {
        return std::nullopt;
    }
    const auto stored = read(*local_, storageKey(key));
    if (!stored.record) {
        return std::nullopt;
    }
    return stored.record->payload;
}

void PreferenceSync::setPayload(std::string_view key, std::string json) {
    if (json.size() > PreferenceRecord::maximumPayloadBytes) {
        return;
    }
    write(std::move(json), key);
}

void PreferenceSync::remove(std::string_view key) {
    write(std::nullopt, key);
}

bool PreferenceSync::isReset(std::string_view key) const {
    if (keys_.count(std::string(key)) == 0) {
        return false;
    }
    const auto stored = read(*local_, storageKey(key));
    return stored.record && !stored.record->payload;
}

PreferenceSync::ObserverID PreferenceSync::observe(std::string key, std::function<void()> handler) {
    ObserverID id = makeUuidString();
    observers_.emplace(id, std::make_pair(std::move(key), std::move(handler)));
    return id;
}

void PreferenceSync::removeObserver(const ObserverID& id) {
    observers_.erase(id);
}

} // namespace corbel
