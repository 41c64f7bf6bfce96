#pragma once
// The two checks the repository makes on stored data, from the cache or the cloud, before a
// policy sees it. Both judge the version through the core's one header decoder.

#include <optional>
#include <string_view>

#include "tidewright/core/PreferencePolicy.hpp"

namespace tidewright {

// Whether data may be handed to the policy of key. A payload of a later version is accepted as it
// is (the policy judges it); otherwise it must decode, and a rule key's payload must hold this
// very key's rule first, or be empty.
bool acceptsPreferenceData(std::string_view key, std::string_view data);

// The item the data holds for key: enabled for the enabled key whatever the data; for a rule key
// the rule of the first rule's application when the payload is of version 1 and that application's
// key is this one; else none.
std::optional<PreferenceFragment> preferenceDataFragment(std::string_view key, std::string_view data);

} // namespace tidewright
