#include "tidewright/preferences/KVSPreferenceCloud.hpp"

#include <limits>

#include "platform/cloud/PropertyListSize.hpp"
#include "tidewright/preferences/PreferenceKeys.hpp"

namespace tidewright {

KVSPreferenceCloud::KVSPreferenceCloud(std::shared_ptr<platform::KeyValueStore> store,
                                       std::shared_ptr<platform::CloudIdentity> identity)
    : store_(std::move(store)), identity_(std::move(identity)) {
    // The subscriptions end with this object, so the observers may refer to it.
    changes_ = store_->observeExternalChanges(
        [this](const platform::KeyValueStoreChange& change) { deliver(event(change)); });
    identityChanges_ =
        identity_->observeIdentityChanges([this] { deliver(PreferenceCloudEvent::identityChanged); });
}

PreferenceCloudEvent KVSPreferenceCloud::event(const platform::KeyValueStoreChange& change) {
    using Reason = platform::KeyValueStoreChangeReason;
    const auto reason = platform::changeReason(change);
    if (!reason) {
        return PreferenceCloudEvent::server;
    }
    switch (*reason) {
    case static_cast<std::int64_t>(Reason::initialSyncChange):
        return PreferenceCloudEvent::initialDownload;
    case static_cast<std::int64_t>(Reason::quotaViolationChange):
        return PreferenceCloudEvent::quota;
    case static_cast<std::int64_t>(Reason::accountChange):
        return PreferenceCloudEvent::accountChanged;
    default:
        return PreferenceCloudEvent::server;
    }
}

void KVSPreferenceCloud::deliver(PreferenceCloudEvent event) {
    if (onEvent) {
        // A copy: the handler may replace itself.
        const auto handler = onEvent;
        handler(event);
    }
}

PreferenceCloudSnapshot KVSPreferenceCloud::snapshot() {
    PreferenceCloudSnapshot snapshot;
    snapshot.synchronized = store_->synchronize();
    auto dictionary = store_->dictionaryRepresentation();
    for (const auto& [key, value] : dictionary) {
        if (isPreferenceKey(key)) {
            const auto* data = value.get<platform::PropertyData>();
            snapshot.values.emplace(key, data ? data->bytes : std::string());
        }
    }
    snapshot.keyCount = dictionary.size();
    const auto size =
        platform::xmlPropertyListSize(platform::PropertyValue::dictionary(std::move(dictionary)));
    snapshot.byteCount = size ? *size : std::numeric_limits<std::size_t>::max();
    return snapshot;
}

void KVSPreferenceCloud::write(std::string_view key, std::string data) {
    store_->setData(key, std::move(data));
}

} // namespace tidewright
