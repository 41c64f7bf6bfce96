#pragma once
// Short builders and readable failure output for the geometry and placement values in tests.

#include "tidewright/core/Geometry.hpp"
#include "tidewright/core/WindowPlacement.hpp"

#include <gtest/gtest.h>
#include <optional>
#include <ostream>
#include <string_view>
#include <variant>

namespace tidewright {

inline WindowSize size(double width, double height) {
    return WindowSize(Points(width), Points(height));
}

inline DesktopFrame frame(double x, double y, double width, double height) {
    return DesktopFrame({Points(x), Points(y)}, size(width, height));
}

inline ScreenGeometry screen(std::uint32_t id, const DesktopFrame& whole, const DesktopFrame& usable) {
    return ScreenGeometry(ScreenID{id}, whole, usable);
}

inline ScreenGeometry screen(std::uint32_t id, const DesktopFrame& whole) {
    return screen(id, whole, whole);
}

inline std::string_view kindName(GeometryError::Kind kind) {
    switch (kind) {
    case GeometryError::Kind::duplicateScreenID:
        return "duplicateScreenID";
    case GeometryError::Kind::nonFinitePoints:
        return "nonFinitePoints";
    case GeometryError::Kind::nonPositiveSize:
        return "nonPositiveSize";
    case GeometryError::Kind::unrepresentableGeometry:
        return "unrepresentableGeometry";
    case GeometryError::Kind::invalidSizeLimits:
        return "invalidSizeLimits";
    case GeometryError::Kind::noAlignedOrigin:
        return "noAlignedOrigin";
    case GeometryError::Kind::usableAreaOutsideScreen:
        return "usableAreaOutsideScreen";
    case GeometryError::Kind::noScreens:
        return "noScreens";
    }
    return "?";
}

inline void PrintTo(const GeometryError& error, std::ostream* os) {
    *os << kindName(error.kind);
    if (error.screenID) {
        *os << '(' << error.screenID->rawValue << ')';
    }
}

inline void PrintTo(const GeometryError::Kind& kind, std::ostream* os) {
    *os << kindName(kind);
}

inline void PrintTo(const Points& points, std::ostream* os) {
    *os << points.value();
}

inline void PrintTo(const WindowSize& s, std::ostream* os) {
    *os << s.width().value() << " x " << s.height().value();
}

inline void PrintTo(const DesktopFrame& f, std::ostream* os) {
    *os << '(' << f.minX() << ", " << f.minY() << ") ";
    PrintTo(f.size(), os);
}

inline void PrintTo(const BottomLeftFrame& f, std::ostream* os) {
    *os << "bottom-left (" << f.x.value() << ", " << f.y.value() << ") ";
    PrintTo(f.size, os);
}

inline void PrintTo(const ScreenID& id, std::ostream* os) {
    *os << "screen " << id.rawValue;
}

inline void PrintTo(const ScreenGeometry& s, std::ostream* os) {
    PrintTo(s.id(), os);
    *os << ' ';
    PrintTo(s.frame(), os);
}

inline void PrintTo(const PlacementVisibility& v, std::ostream* os) {
    if (const auto& overflow = v.overflow()) {
        *os << "cannotFit(" << overflow->horizontal.value() << ", " << overflow->vertical.value() << ')';
    } else {
        *os << "fullyVisible";
    }
}

inline std::string_view adjustmentName(SizeAdjustment adjustment) {
    switch (adjustment) {
    case SizeAdjustment::none:
        return "none";
    case SizeAdjustment::reducedToFitUsableArea:
        return "reducedToFitUsableArea";
    case SizeAdjustment::knownConstraint:
        return "knownConstraint";
    case SizeAdjustment::acceptedDifferentSize:
        return "acceptedDifferentSize";
    }
    return "?";
}

inline void PrintTo(const Placement& p, std::ostream* os) {
    PrintTo(p.screenID, os);
    *os << ' ';
    PrintTo(p.frame, os);
    *os << ' ' << adjustmentName(p.sizeAdjustment) << ' ';
    PrintTo(p.visibility, os);
}

// Runs body and answers the GeometryError it threw, or nothing when it returned.
template <typename Body>
std::optional<GeometryError> thrownGeometryError(const Body& body) {
    try {
        body();
    } catch (const GeometryError& error) {
        return error;
    }
    return std::nullopt;
}

// Expects body to return the value of `expected`, or to throw its GeometryError.
template <typename Value, typename Body>
void expectOutcome(const std::variant<Value, GeometryError>& expected, const Body& body) {
    if (const auto* value = std::get_if<Value>(&expected)) {
        EXPECT_EQ(body(), *value);
    } else {
        EXPECT_EQ(thrownGeometryError(body), std::get<GeometryError>(expected));
    }
}

} // namespace tidewright
