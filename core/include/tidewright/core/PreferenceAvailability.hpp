#pragma once
// Whether the stored preferences can be used. Shared by the app policy and the preference policy.

namespace tidewright {

enum class PreferenceAvailability {
    available,
    unavailable,
};

} // namespace tidewright
