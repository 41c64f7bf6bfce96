#include "tidewright/core/WindowPlacement.hpp"

namespace tidewright {

SizeLimits::SizeLimits(WindowSize minimum, std::optional<WindowSize> maximum)
    : minimum_(minimum), maximum_(maximum) {
    if (maximum && (maximum->width().value() < minimum.width().value() ||
                    maximum->height().value() < minimum.height().value())) {
        throw GeometryError{GeometryError::Kind::invalidSizeLimits};
    }
}

std::optional<SizeLimits> SizeCapabilities::limits() const {
    if (const auto* limits = std::get_if<SizeLimits>(&payload_)) {
        return *limits;
    }
    return std::nullopt;
}

std::optional<WindowSize> SizeCapabilities::fixedSize() const {
    if (const auto* size = std::get_if<WindowSize>(&payload_)) {
        return *size;
    }
    return std::nullopt;
}

} // namespace tidewright
