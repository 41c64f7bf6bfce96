#pragma once
// Validated desktop geometry: coordinates, sizes, frames and screens. Building one of these values
// is where a non-finite, empty or overflowing number is refused, so code that holds them can compute
// without further checks. Desktop coordinates start at the primary screen's top-left corner, with y
// growing downward, in points.

#include "tidewright/core/Hashing.hpp"

#include <cmath>
#include <compare>
#include <cstdint>
#include <functional>
#include <optional>

namespace tidewright {

// A screen's identity: the display's number. Ordered as an unsigned number.
struct ScreenID {
    std::uint32_t rawValue;

    auto operator<=>(const ScreenID&) const = default;
};

// The refusals of the geometry types, of screen selection and of placement; thrown as the value.
struct GeometryError {
    enum class Kind {
        duplicateScreenID,
        nonFinitePoints,
        nonPositiveSize,
        unrepresentableGeometry,
        invalidSizeLimits,
        noAlignedOrigin,
        usableAreaOutsideScreen,
        noScreens,
    };

    Kind kind;
    // The repeated screen of duplicateScreenID; absent for every other kind.
    std::optional<ScreenID> screenID = std::nullopt;

    static GeometryError duplicate(ScreenID repeated) noexcept { return {Kind::duplicateScreenID, repeated}; }

    bool operator==(const GeometryError&) const = default;
};

// One finite coordinate or length. Compares numerically, so +0 equals -0 (and hashes alike).
class Points {
public:
    // Throws GeometryError nonFinitePoints for an infinite or NaN value.
    explicit Points(double value) : value_(value) {
        if (!std::isfinite(value)) {
            throw GeometryError{GeometryError::Kind::nonFinitePoints};
        }
    }

    double value() const noexcept { return value_; }

    bool operator==(const Points& other) const noexcept { return value_ == other.value_; }

private:
    double value_;
};

struct DesktopPoint {
    Points x;
    Points y;

    bool operator==(const DesktopPoint&) const = default;
};

// A positive width and height whose product is finite and positive.
class WindowSize {
public:
    // Throws GeometryError nonPositiveSize unless both are above 0, then unrepresentableGeometry
    // unless the area is finite and above 0 (an area that underflows to 0 is refused as well).
    WindowSize(Points width, Points height);

    Points width() const noexcept { return width_; }
    Points height() const noexcept { return height_; }

    bool operator==(const WindowSize&) const = default;

private:
    Points width_;
    Points height_;
};

struct BottomLeftFrame;

// A rectangle in desktop coordinates whose far edges are finite and strictly beyond its origin.
class DesktopFrame {
public:
    // Throws GeometryError unrepresentableGeometry when a far edge is not finite or rounds back onto
    // the origin.
    DesktopFrame(DesktopPoint origin, WindowSize size);

    const DesktopPoint& origin() const noexcept { return origin_; }
    const WindowSize& size() const noexcept { return size_; }

    double minX() const noexcept { return origin_.x.value(); }
    double minY() const noexcept { return origin_.y.value(); }
    double maxX() const noexcept { return origin_.x.value() + size_.width().value(); }
    double maxY() const noexcept { return origin_.y.value() + size_.height().value(); }

    // The same rectangle with y measured upward; primaryTop is the primary screen's top edge in
    // that convention. Throws GeometryError nonFinitePoints when the flipped y is not finite.
    BottomLeftFrame bottomLeftFrame(Points primaryTop) const;

    bool operator==(const DesktopFrame&) const = default;

private:
    DesktopPoint origin_;
    WindowSize size_;
};

// A rectangle in the platform's screen coordinates: x is the left edge, y the bottom edge, y grows
// upward.
struct BottomLeftFrame {
    Points x;
    Points y;
    WindowSize size;

    // The flip back to desktop coordinates. Converting a frame one way and back gives the first frame
    // whenever the intermediate sums are exactly representable. Throws GeometryError nonFinitePoints
    // when the flipped y is not finite, and unrepresentableGeometry when it makes no valid frame.
    DesktopFrame desktopFrame(Points primaryTop) const;

    bool operator==(const BottomLeftFrame&) const = default;
};

// One screen: its whole frame and the part windows may use, which lies inside the frame.
class ScreenGeometry {
public:
    // Throws GeometryError usableAreaOutsideScreen unless usableArea lies inside frame (edges may
    // coincide).
    ScreenGeometry(ScreenID id, DesktopFrame frame, DesktopFrame usableArea);

    ScreenID id() const noexcept { return id_; }
    const DesktopFrame& frame() const noexcept { return frame_; }
    const DesktopFrame& usableArea() const noexcept { return usableArea_; }

    bool operator==(const ScreenGeometry&) const = default;

private:
    ScreenID id_;
    DesktopFrame frame_;
    DesktopFrame usableArea_;
};

} // namespace tidewright

template <>
struct std::hash<tidewright::Points> {
    std::size_t operator()(const tidewright::Points& points) const noexcept {
        // -0 and +0 compare equal, so both must hash as +0.
        const double value = points.value();
        return std::hash<double>{}(value == 0.0 ? 0.0 : value);
    }
};

template <>
struct std::hash<tidewright::ScreenID> {
    std::size_t operator()(const tidewright::ScreenID& id) const noexcept {
        return tidewright::hashFields(id.rawValue);
    }
};
