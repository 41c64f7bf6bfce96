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

const char* caseName(WindowOperationFailure::Case kind) noexcept {
    using C = WindowOperationFailure::Case;
    switch (kind) {
    case C::construction:
        return "construction";
    case C::transport:
        return "transport";
    case C::remote:
        return "remote";
    case C::geometry:
        return "geometry";
    case C::malformedResponse:
        return "malformedResponse";
    case C::noUniqueEligibleWindow:
        return "noUniqueEligibleWindow";
    case C::deadlineExceeded:
        return "deadlineExceeded";
    case C::invalidated:
        return "invalidated";
    }
    return "?";
}

} // namespace tidewright
