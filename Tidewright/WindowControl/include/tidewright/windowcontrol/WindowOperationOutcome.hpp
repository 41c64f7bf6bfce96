#pragma once
// How one window operation ended. Always a value: the service never ends a run with an error.

#include <optional>
#include <variant>

#include "tidewright/core/Geometry.hpp"
#include "tidewright/windowcontrol/WindowOperationFailure.hpp"

namespace tidewright {

class WindowOperationOutcome {
public:
    enum class Case {
        // Read back at exactly the planned (or refined) frame; carries that frame.
        observed,
        // Stopped before anything was written; carries why.
        failed,
        // Something was written, but the final frame was not confirmed.
        unconfirmed,
        // Not started, or its authorisation was refused.
        blocked,
        // The same request was already pending.
        alreadyPending,
        // The request became stale or its permit was revoked.
        invalidated,
    };

    static WindowOperationOutcome observed(DesktopFrame frame) noexcept { return {Case::observed, frame}; }
    static WindowOperationOutcome failed(WindowOperationFailure failure) noexcept {
        return {Case::failed, failure};
    }
    static WindowOperationOutcome unconfirmed() noexcept { return {Case::unconfirmed, {}}; }
    static WindowOperationOutcome blocked() noexcept { return {Case::blocked, {}}; }
    static WindowOperationOutcome alreadyPending() noexcept { return {Case::alreadyPending, {}}; }
    static WindowOperationOutcome invalidated() noexcept { return {Case::invalidated, {}}; }

    Case kind() const noexcept { return kind_; }
    // The frame of observed; absent for the other cases.
    std::optional<DesktopFrame> frame() const noexcept;
    // The failure of failed; absent for the other cases.
    std::optional<WindowOperationFailure> failure() const noexcept;

    // observed compares the frames exactly, failed the failures, the rest by case only.
    bool operator==(const WindowOperationOutcome&) const = default;

private:
    using Payload = std::variant<std::monostate, DesktopFrame, WindowOperationFailure>;

    WindowOperationOutcome(Case kind, Payload payload) noexcept : kind_(kind), payload_(payload) {}

    Case kind_;
    Payload payload_;
};

// The name of the case, for logs and test output.
const char* caseName(WindowOperationOutcome::Case kind) noexcept;

} // namespace tidewright
