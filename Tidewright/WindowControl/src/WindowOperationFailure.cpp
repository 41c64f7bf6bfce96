#include "tidewright/windowcontrol/WindowOperationFailure.hpp"

namespace tidewright {

std::optional<std::int32_t> WindowOperationFailure::code() const noexcept {
    if (const auto* code = std::get_if<std::int32_t>(&payload_)) {
        return *code;
    }
    return std::nullopt;
}

std::optional<GeometryError> WindowOperationFailure::geometryError() const noexcept {
    if (const auto* error = std::get_if<GeometryError>(&payload_)) {
        return *error;
    }
    return std::nullopt;
}

} // namespace tidewright
