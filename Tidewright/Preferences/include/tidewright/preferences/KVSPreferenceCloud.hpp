#pragma once
// The preference cloud over the synced key-value store and its account identity.

#include <memory>

#include "platform/cloud/CloudIdentity.hpp"
#include "platform/cloud/KeyValueStore.hpp"
#include "tidewright/preferences/PreferenceCloud.hpp"

namespace tidewright {

// Main thread only. The observations end with the cloud, so a notice that arrives afterwards
// reaches nobody.
class KVSPreferenceCloud final : public PreferenceCloud {
public:
    KVSPreferenceCloud(std::shared_ptr<platform::KeyValueStore> store,
                       std::shared_ptr<platform::CloudIdentity> identity);

    PreferenceCloudSnapshot snapshot() override;
    void write(std::string_view key, std::string data) override;

    // A notice's reason as an event: a missing, malformed or unknown reason is a server change.
    static PreferenceCloudEvent event(const platform::KeyValueStoreChange& change);

private:
    void deliver(PreferenceCloudEvent event);

    std::shared_ptr<platform::KeyValueStore> store_;
    std::shared_ptr<platform::CloudIdentity> identity_;
    platform::Subscription changes_;
    platform::Subscription identityChanges_;
};

} // namespace tidewright
