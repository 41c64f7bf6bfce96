#pragma once
// Where a window goes for each window action: the screen, the size, the origin and whether the
// result fits the usable area, kept as a plan that can be refined for the size the window accepted.

#include "tidewright/core/Geometry.hpp"
#include "tidewright/core/WindowAction.hpp"

#include <optional>
#include <variant>

namespace tidewright {

// What a resizable window accepts; an absent maximum is unbounded.
class SizeLimits {
public:
    // Throws GeometryError invalidSizeLimits when maximum is narrower or lower than minimum.
    explicit SizeLimits(WindowSize minimum, std::optional<WindowSize> maximum = std::nullopt);

    const WindowSize& minimum() const noexcept { return minimum_; }
    const std::optional<WindowSize>& maximum() const noexcept { return maximum_; }

    bool operator==(const SizeLimits&) const = default;

private:
    WindowSize minimum_;
    std::optional<WindowSize> maximum_;
};

// What is known of a window's size before it is moved.
class SizeCapabilities {
public:
    enum class Kind {
        resizable,
        fixed,
        unknown,
    };

    static SizeCapabilities resizable(SizeLimits limits) { return SizeCapabilities(Payload(limits)); }
    static SizeCapabilities fixed(WindowSize size) { return SizeCapabilities(Payload(size)); }
    static SizeCapabilities unknown() { return SizeCapabilities(Payload(std::monostate{})); }

    Kind kind() const noexcept { return static_cast<Kind>(payload_.index()); }
    // The limits of a resizable window; absent for the other kinds.
    std::optional<SizeLimits> limits() const;
    // The size a fixed window keeps; absent for the other kinds.
    std::optional<WindowSize> fixedSize() const;

    bool operator==(const SizeCapabilities&) const = default;

private:
    // Alternatives in the order of Kind.
    using Payload = std::variant<SizeLimits, WindowSize, std::monostate>;

    explicit SizeCapabilities(Payload payload) : payload_(payload) {}

    Payload payload_;
};

// Why the planned size differs from the action's size, if it does.
enum class SizeAdjustment {
    none,
    reducedToFitUsableArea,
    knownConstraint,
    // Refined placements only: the window took another size than planned.
    acceptedDifferentSize,
};

// By how much a size exceeds the usable area; both at least 0.
struct VisibilityOverflow {
    Points horizontal;
    Points vertical;

    bool operator==(const VisibilityOverflow&) const = default;
};

// Whether a placed size fits the usable area. Sizes only: a size that fits is always placed inside.
class PlacementVisibility {
public:
    enum class Kind {
        fullyVisible,
        cannotFit,
    };

    static PlacementVisibility fullyVisible() { return PlacementVisibility(std::nullopt); }
    static PlacementVisibility cannotFit(VisibilityOverflow overflow) {
        return PlacementVisibility(overflow);
    }

    Kind kind() const noexcept { return overflow_ ? Kind::cannotFit : Kind::fullyVisible; }
    // The overflow of cannotFit; absent when fully visible.
    const std::optional<VisibilityOverflow>& overflow() const noexcept { return overflow_; }

    bool operator==(const PlacementVisibility&) const = default;

private:
    explicit PlacementVisibility(std::optional<VisibilityOverflow> overflow) : overflow_(overflow) {}

    std::optional<VisibilityOverflow> overflow_;
};

enum class PlacementOriginAlignment {
    // Origins are used as computed.
    continuous,
    // Origins are rounded to whole points and kept inside the usable area.
    wholePoints,
};

struct Placement {
    ScreenID screenID;
    DesktopFrame frame;
    SizeAdjustment sizeAdjustment;
    PlacementVisibility visibility;

    bool operator==(const Placement&) const = default;
};

// The result of planning, kept so that the placement can be refined for the size the window took.
struct PlacementPlan {
    Placement requested;
    WindowAction action;
    ScreenGeometry screen;
    // The window's frame before the move.
    DesktopFrame original;
    PlacementOriginAlignment originAlignment;

    bool operator==(const PlacementPlan&) const = default;
};

} // namespace tidewright
