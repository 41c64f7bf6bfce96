#pragma once
// Helpers shared by the window-control tests: readable failures, a way to catch one as a value, and
// frames from four numbers.

#include <functional>
#include <optional>
#include <ostream>

#include "tidewright/core/Geometry.hpp"
#include "tidewright/windowcontrol/WindowOperationFailure.hpp"

namespace tidewright {

inline void PrintTo(const WindowOperationFailure& failure, std::ostream* out) {
    *out << caseName(failure.kind());
    if (auto code = failure.code()) {
        *out << "(" << *code << ")";
    }
    if (auto error = failure.geometryError()) {
        *out << "(kind " << static_cast<int>(error->kind) << ")";
    }
}

inline DesktopFrame frameOf(double x, double y, double width, double height) {
    return DesktopFrame(DesktopPoint{Points(x), Points(y)}, WindowSize(Points(width), Points(height)));
}

// The failure the body throws, or nothing when it returns.
inline std::optional<WindowOperationFailure> failureOf(const std::function<void()>& body) {
    try {
        body();
    } catch (const WindowOperationFailure& failure) {
        return failure;
    }
    return std::nullopt;
}

} // namespace tidewright
