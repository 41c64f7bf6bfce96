#pragma once
// The names of the synced preference keys. Other installations read these names: they must not
// change.

#include <string>
#include <string_view>

#include "tidewright/core/Identities.hpp"

namespace tidewright {

inline constexpr std::string_view enabledPreferenceKey = "tidewright.preference.v1.enabled";
inline constexpr std::string_view rulePreferenceKeyPrefix = "tidewright.preference.v1.rule.";

// The enabled key, or any key under the rule prefix.
bool isPreferenceKey(std::string_view key) noexcept;

// The rule prefix followed by the lower-case hex SHA-256 of the identifier's UTF-8 bytes: always
// 94 characters.
std::string ruleKey(const BundleID& app);

} // namespace tidewright
