#include "tidewright/preferences/LocalPreferenceAccount.hpp"

#include <algorithm>

#include "corbel/preferences/Uuid.hpp"
#include "tidewright/preferences/AccountRegistry.hpp"

namespace tidewright {

PreferenceAccount LocalPreferenceAccount::resolve() {
    const auto token = token_();
    if (!token) {
        return PreferenceAccount::unavailable();
    }
    const std::string archive = token->archive();
    if (archive.size() > AccountRegistry::maximumArchiveBytes) {
        return PreferenceAccount::unavailable();
    }
    AccountRegistry registry;
    if (const auto data = storage_->data(AccountRegistry::defaultsKey)) {
        auto decoded = AccountRegistry::decode(*data);
        if (!decoded) {
            return PreferenceAccount::unavailable();
        }
        registry = std::move(*decoded);
    }
    // Every record is checked before any is matched: a damaged record after the matching one
    // damages the registry as much as one before it.
    std::vector<platform::CloudIdentityToken> tokens;
    for (const auto& record : registry.records) {
        auto known = platform::CloudIdentityToken::unarchive(record.archive);
        if (!known) {
            return PreferenceAccount::unavailable();
        }
        tokens.push_back(*known);
    }
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i] == *token) {
            return PreferenceAccount::account(registry.records[i].marker);
        }
    }
    if (registry.records.size() >= AccountRegistry::maximumRecords) {
        return PreferenceAccount::unavailable();
    }
    std::string marker = corbel::makeUuidString();
    const auto taken = [&](const std::string& candidate) {
        return std::any_of(registry.records.begin(), registry.records.end(),
                           [&](const auto& record) { return record.marker == candidate; });
    };
    while (taken(marker)) {
        marker = corbel::makeUuidString();
    }
    registry.records.push_back({archive, marker});
    const auto encoded = registry.encode();
    if (!encoded) {
        return PreferenceAccount::unavailable();
    }
    storage_->set(AccountRegistry::defaultsKey, *encoded);
    return PreferenceAccount::account(std::move(marker));
}

} // namespace tidewright
