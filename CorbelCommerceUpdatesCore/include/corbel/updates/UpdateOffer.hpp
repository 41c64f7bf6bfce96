#pragma once
// Whether a published version is worth offering to the user.

#include <optional>

#include "corbel/updates/AppVersion.hpp"

namespace corbel::UpdateOffer {

// The published version when it is newer than the running one and than the version the user set
// aside, if any; otherwise nothing. Setting aside 1.3 hides 1.3 and 1.3.0, not 1.4.
std::optional<AppVersion> newer(const std::optional<AppVersion>& published, const AppVersion& current,
                                const std::optional<AppVersion>& setAside);

} // namespace corbel::UpdateOffer
