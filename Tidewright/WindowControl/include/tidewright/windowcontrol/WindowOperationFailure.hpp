#pragma once
// Why a window operation stopped. Every layer of a window action reports its failures as this one
// value, thrown as itself.

#include <cstdint>
#include <optional>
#include <variant>

#include "tidewright/core/Geometry.hpp"

namespace tidewright {

class WindowOperationFailure {
public:
    enum class Case {
        // Carries a platform code; nothing in this system produces it.
        construction,
        // The Accessibility call did not complete (the platform's "cannot complete").
        transport,
        // Any other Accessibility error code of the target application.
        remote,
        // A frame, screen list or plan was refused by the geometry rules.
        geometry,
        // An answer of the wrong type or shape, or an error of another kind.
        malformedResponse,
        // The target has no single eligible main window.
        noUniqueEligibleWindow,
        // The permit's deadline passed.
        deadlineExceeded,
        // The permit was revoked, or the request became stale.
        invalidated,
    };

    static WindowOperationFailure construction(std::int32_t code) noexcept {
        return {Case::construction, code};
    }
    static WindowOperationFailure transport(std::int32_t code) noexcept { return {Case::transport, code}; }
    static WindowOperationFailure remote(std::int32_t code) noexcept { return {Case::remote, code}; }
    static WindowOperationFailure geometry(GeometryError error) noexcept { return {Case::geometry, error}; }
    static WindowOperationFailure malformedResponse() noexcept { return {Case::malformedResponse, {}}; }
    static WindowOperationFailure noUniqueEligibleWindow() noexcept {
        return {Case::noUniqueEligibleWindow, {}};
    }
    static WindowOperationFailure deadlineExceeded() noexcept { return {Case::deadlineExceeded, {}}; }
    static WindowOperationFailure invalidated() noexcept { return {Case::invalidated, {}}; }

    Case kind() const noexcept { return kind_; }
    // The platform code of construction, transport and remote; absent for the other cases.
    std::optional<std::int32_t> code() const noexcept;
    // The refusal of geometry; absent for the other cases.
    std::optional<GeometryError> geometryError() const noexcept;

    // Same case and, for the four cases that carry one, the same payload.
    bool operator==(const WindowOperationFailure&) const = default;

private:
    using Payload = std::variant<std::monostate, std::int32_t, GeometryError>;

    WindowOperationFailure(Case kind, Payload payload) noexcept : kind_(kind), payload_(payload) {}

    Case kind_;
    Payload payload_;
};

// The name of the case, for logs and test output.
const char* caseName(WindowOperationFailure::Case kind) noexcept;

} // namespace tidewright
