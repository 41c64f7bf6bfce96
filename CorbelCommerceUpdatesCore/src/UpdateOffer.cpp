#include "corbel/updates/UpdateOffer.hpp"

namespace corbel::UpdateOffer {

std::optional<AppVersion> newer(const std::optional<AppVersion>& published, const AppVersion& current,
                                const std::optional<AppVersion>& setAside) {
    if (!published || !(current < *published)) {
        return std::nullopt;
    }
    if (setAside && !(*setAside < *published)) {
        return std::nullopt;
    }
    return published;
}

} // namespace corbel::UpdateOffer
