#include "tidewright/preferences/PreferenceCache.hpp"

namespace tidewright {

std::vector<std::string> DefaultsPreferenceCache::entries(std::string_view prefix) {
    std::vector<std::string> keys;
    const auto& values = defaults_->dictionaryRepresentation();
    // The keys are ordered by their bytes, so those with the prefix stand together.
    for (auto entry = values.lower_bound(prefix); entry != values.end() && entry->first.starts_with(prefix);
         ++entry) {
        keys.push_back(entry->first);
    }
    return keys;
}

} // namespace tidewright
