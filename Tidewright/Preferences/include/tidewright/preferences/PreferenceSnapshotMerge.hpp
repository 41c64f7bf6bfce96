#pragma once
// The synced store's snapshot merged into the repository's entries, with nothing but values: what
// each key's policy becomes, and what the repository then has to do about it (write its cache,
// publish the key, or settle it).

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "tidewright/core/PreferencePolicy.hpp"

namespace tidewright {

// One preference key as the repository holds it.
struct PreferenceEntry {
    PreferencePolicy policy;
    // False when the stored payload was not usable or a volatile result protected it.
    bool cacheWritable = true;
    std::optional<PreferenceFragment> fragment;
};

using PreferenceEntries = std::map<std::string, PreferenceEntry, std::less<>>;

// One key after a policy decision: the entry to keep, and what follows from the decision.
struct PreferenceEntryUpdate {
    PreferenceEntry entry;
    // The payload to write to the local cache, encoded.
    std::optional<std::string> cacheWrite;
    // The key's local payload has to be written to the store.
    bool publish = false;
    // The store already holds what the key holds: it is no longer pending.
    bool settle = false;
};

// What result means for entry, whose payload was before and whose cache was writable or not
// before the decision.
PreferenceEntryUpdate settlePreference(PreferenceEntry entry, const PreferencePayload& before,
                                       bool wasCacheWritable, const PreferencePublication& result);

// The snapshot's values received by every key of entries or values, in key order; a key without an
// entry starts from fresh(key). Data a key does not accept, or whose fragment its entry cannot
// take, arrives as empty data. synchronized: whether the snapshot is a complete read.
std::map<std::string, PreferenceEntryUpdate, std::less<>>
mergePreferenceSnapshot(const PreferenceEntries& entries,
                        const std::map<std::string, std::string, std::less<>>& values, bool synchronized,
                        const std::function<PreferenceEntry(std::string_view)>& fresh);

} // namespace tidewright
