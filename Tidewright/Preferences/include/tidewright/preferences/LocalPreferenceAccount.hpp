#pragma once
// Names the current synced account by the marker the account registry keeps for its identity
// token, making and registering a marker the first time an account is seen.

#include <functional>
#include <memory>
#include <optional>

#include "corbel/preferences/PreferenceStorage.hpp"
#include "platform/cloud/CloudIdentity.hpp"
#include "tidewright/preferences/PreferenceAccount.hpp"

namespace tidewright {

// Main thread only.
class LocalPreferenceAccount final : public PreferenceAccountReading {
public:
    using TokenSource = std::function<std::optional<platform::CloudIdentityToken>()>;

    // storage holds the registry (the live one is the preference cache); token answers the
    // current identity token (the live one the synced folder's).
    LocalPreferenceAccount(std::shared_ptr<corbel::PreferenceStorage> storage, TokenSource token)
        : storage_(std::move(storage)), token_(std::move(token)) {}

    // unavailable without a token, with a damaged registry (never repaired or overwritten: every
    // resolution stays unavailable until it is valid again), a record whose archive is not a
    // token, or a full registry that does not know the token. A token the registry does not know
    // gets a new marker, stored with it.
    PreferenceAccount resolve() override;

private:
    std::shared_ptr<corbel::PreferenceStorage> storage_;
    TokenSource token_;
};

} // namespace tidewright
