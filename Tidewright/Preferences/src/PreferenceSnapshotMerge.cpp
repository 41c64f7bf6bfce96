#include "tidewright/preferences/PreferenceSnapshotMerge.hpp"

#include <set>
#include <utility>

#include "tidewright/preferences/StoredPreferenceData.hpp"

namespace tidewright {

PreferenceEntryUpdate settlePreference(PreferenceEntry entry, const PreferencePayload& before,
                                       bool wasCacheWritable, const PreferencePublication& result) {
    using Kind = PreferencePublication::Kind;
    const bool changed = entry.policy.snapshot() != before;
    bool publish = false;
    switch (result.kind()) {
    case Kind::volatileOnly:
        entry.cacheWritable = false;
        break;
    case Kind::publish:
        publish = true;
        break;
    case Kind::localOnly:
        publish = changed;
        break;
    case Kind::none:
        break;
    }
    std::optional<std::string> cacheWrite;
    if (result.kind() != Kind::volatileOnly && wasCacheWritable && changed) {
        cacheWrite = entry.policy.snapshot().encoded();
    }
    return PreferenceEntryUpdate{std::move(entry), std::move(cacheWrite), publish, false};
}

std::map<std::string, PreferenceEntryUpdate, std::less<>>
mergePreferenceSnapshot(const PreferenceEntries& entries,
                        const std::map<std::string, std::string, std::less<>>& values, bool synchronized,
                        const std::function<PreferenceEntry(std::string_view)>& fresh) {
    std::set<std::string, std::less<>> keys;
    for (const auto& [key, entry] : entries) {
        keys.insert(key);
    }
    for (const auto& [key, value] : values) {
        keys.insert(key);
    }
    std::map<std::string, PreferenceEntryUpdate, std::less<>> updates;
    for (const std::string& key : keys) {
        const auto found = entries.find(key);
        PreferenceEntry entry = found != entries.end() ? found->second : fresh(key);
        std::optional<std::string> incoming;
        if (const auto value = values.find(key); value != values.end()) {
            incoming = acceptsPreferenceData(key, value->second) ? value->second : std::string();
            if (auto fragment = preferenceDataFragment(key, *incoming)) {
                try {
                    entry.policy.bindFragment(*fragment);
                    entry.fragment = std::move(fragment);
                } catch (const PreferenceFragmentIssue&) {
                    incoming = std::string();
                }
            }
        }
        const PreferencePayload before = entry.policy.snapshot();
        const bool wasCacheWritable = entry.cacheWritable;
        const PreferencePublication result = entry.policy.receive(
            incoming ? std::optional<std::string_view>(*incoming) : std::nullopt, PreferenceCloudState::available,
            synchronized);
        PreferenceEntryUpdate update = settlePreference(std::move(entry), before, wasCacheWritable, result);
        update.settle = result.kind() == PreferencePublication::Kind::none && incoming.has_value();
        updates.emplace(key, std::move(update));
    }
    return updates;
}

} // namespace tidewright
