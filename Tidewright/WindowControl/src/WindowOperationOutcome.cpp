#include "tidewright/windowcontrol/WindowOperationOutcome.hpp"

namespace tidewright {

std::optional<DesktopFrame> WindowOperationOutcome::frame() const noexcept {
    if (const auto* frame = std::get_if<DesktopFrame>(&payload_)) {
        return *frame;
    }
    return std::nullopt;
}

std::optional<WindowOperationFailure> WindowOperationOutcome::failure() const noexcept {
    if (const auto* failure = std::get_if<WindowOperationFailure>(&payload_)) {
        return *failure;
    }
    return std::nullopt;
}

const char* caseName(WindowOperationOutcome::Case kind) noexcept {
    using C = WindowOperationOutcome::Case;
    switch (kind) {
    case C::observed:
        return "observed";
    case C::failed:
        return "failed";
    case C::unconfirmed:
        return "unconfirmed";
    case C::blocked:
        return "blocked";
    case C::alreadyPending:
        return "alreadyPending";
    case C::invalidated:
        return "invalidated";
    }
    return "?";
}

} // namespace tidewright
