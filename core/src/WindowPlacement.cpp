#include "tidewright/core/WindowPlacement.hpp"

#include "tidewright/core/ScreenSelection.hpp"

#include <algorithm>
#include <cmath>

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

namespace {

double widthOf(const WindowSize& size) {
    return size.width().value();
}

double heightOf(const WindowSize& size) {
    return size.height().value();
}

// Points refuses a non-finite result with nonFinitePoints, WindowSize the rest.
WindowSize sizeOf(double width, double height) {
    return WindowSize(Points(width), Points(height));
}

WindowSize targetSize(WindowAction action, const WindowSize& window, const DesktopFrame& usable) {
    const double uw = widthOf(usable.size());
    const double uh = heightOf(usable.size());
    switch (action) {
    case WindowAction::leftHalf:
    case WindowAction::rightHalf:
        return sizeOf(uw * 0.5, uh);
    case WindowAction::maximize:
        return usable.size();
    case WindowAction::nearlyMaximize:
        return sizeOf(uw * 0.9, uh * 0.9);
    case WindowAction::maximumHeight:
        return sizeOf(std::min(uw, widthOf(window)), uh);
    case WindowAction::center:
        return sizeOf(std::min(uw, widthOf(window)), std::min(uh, heightOf(window)));
    }
    return usable.size();
}

double clampedLength(double target, double minimum, std::optional<double> maximum) {
    return std::max(minimum, maximum ? std::min(*maximum, target) : target);
}

WindowSize sizeFor(const SizeCapabilities& capabilities, const WindowSize& target) {
    if (const auto limits = capabilities.limits()) {
        const auto& maximum = limits->maximum();
        return sizeOf(clampedLength(widthOf(target), widthOf(limits->minimum()),
                                    maximum ? std::optional(widthOf(*maximum)) : std::nullopt),
                      clampedLength(heightOf(target), heightOf(limits->minimum()),
                                    maximum ? std::optional(heightOf(*maximum)) : std::nullopt));
    }
    if (const auto fixed = capabilities.fixedSize()) {
        return *fixed;
    }
    return target;
}

SizeAdjustment adjustmentFor(WindowAction action, const WindowSize& target, const WindowSize& size,
                             const WindowSize& window) {
    if (size != target) {
        return SizeAdjustment::knownConstraint;
    }
    switch (action) {
    case WindowAction::maximumHeight:
        return target.width() != window.width() ? SizeAdjustment::reducedToFitUsableArea
                                                : SizeAdjustment::none;
    case WindowAction::center:
        return target != window ? SizeAdjustment::reducedToFitUsableArea : SizeAdjustment::none;
    default:
        return SizeAdjustment::none;
    }
}

// Half up, so that 10.5 gives 11 and -10.5 gives -10 (std::round would give -11).
double roundedHalfUp(double c) {
    const double r = std::floor(c);
    return c - r < 0.5 ? r : r + 1.0;
}

// The last origin that keeps `length` inside the extent from `start`. Subtracting the lengths first
// makes it exactly `start` when the length fills the extent; (start + extent) - length can round
// below start and leave no origin at all.
double lastOrigin(double start, double extent, double length) {
    return start + (extent - length);
}

// One coordinate rounded to a whole point and, when the length fits, kept inside the extent.
double wholePointCoordinate(double c, double start, double extent, double length) {
    const double rounded = roundedHalfUp(c);
    if (length > extent) {
        return rounded;
    }
    const double low = std::ceil(start);
    const double high = std::floor(lastOrigin(start, extent, length));
    if (low > high) {
        throw GeometryError{GeometryError::Kind::noAlignedOrigin};
    }
    return std::clamp(rounded, low, high);
}

// The frame for `size` on the usable area; `original` is the window's frame before the move.
DesktopFrame placedFrame(WindowAction action, const WindowSize& size, const DesktopFrame& usable,
                         const DesktopFrame& original, PlacementOriginAlignment alignment) {
    const double ux = usable.minX();
    const double uy = usable.minY();
    const double uw = widthOf(usable.size());
    const double uh = heightOf(usable.size());
    const double sw = widthOf(size);
    const double sh = heightOf(size);

    double y = uy + (uh - sh) * 0.5;
    double x = ux + (uw - sw) * 0.5;
    // maximumHeight leaves a window of unchanged, fitting width where it stands, moved only as far
    // as needed to stay inside; an x already inside is kept exactly, even when whole points are asked.
    bool keepsOriginalX = false;
    switch (action) {
    case WindowAction::leftHalf:
        x = ux;
        break;
    case WindowAction::rightHalf:
        x = ux + uw - sw;
        break;
    case WindowAction::maximumHeight:
        if (size.width() == original.size().width() && sw <= uw) {
            const double wx = original.minX();
            const double last = lastOrigin(ux, uw, sw);
            x = std::min(std::max(wx, ux), last);
            keepsOriginalX = wx >= ux && wx <= last;
        }
        break;
    case WindowAction::maximize:
    case WindowAction::nearlyMaximize:
    case WindowAction::center:
        break;
    }

    if (alignment == PlacementOriginAlignment::wholePoints) {
        if (!keepsOriginalX) {
            x = wholePointCoordinate(x, ux, uw, sw);
        }
        y = wholePointCoordinate(y, uy, uh, sh);
    }
    return DesktopFrame({Points(x), Points(y)}, size);
}

PlacementVisibility visibilityOf(const WindowSize& size, const DesktopFrame& usable) {
    const double horizontal = std::max(widthOf(size) - widthOf(usable.size()), 0.0);
    const double vertical = std::max(heightOf(size) - heightOf(usable.size()), 0.0);
    if (horizontal == 0.0 && vertical == 0.0) {
        return PlacementVisibility::fullyVisible();
    }
    return PlacementVisibility::cannotFit({Points(horizontal), Points(vertical)});
}

} // namespace

Placement PlacementPlan::refined(const WindowSize& accepting) const {
    const SizeAdjustment adjustment = accepting == requested.frame.size()
                                          ? requested.sizeAdjustment
                                          : SizeAdjustment::acceptedDifferentSize;
    const DesktopFrame& usable = screen.usableArea();
    const DesktopFrame frame = placedFrame(action, accepting, usable, original, originAlignment);
    return {screen.id(), frame, adjustment, visibilityOf(accepting, usable)};
}

namespace WindowPlacement {

bool needsSizeCapabilities(WindowAction action, const DesktopFrame& window,
                           std::span<const ScreenGeometry> screens) {
    const ScreenGeometry screen = ScreenSelection::select(window, screens);
    return targetSize(action, window.size(), screen.usableArea()) != window.size();
}

PlacementPlan plan(WindowAction action, const DesktopFrame& window, std::span<const ScreenGeometry> screens,
                   const SizeCapabilities& capabilities, PlacementOriginAlignment originAlignment) {
    const ScreenGeometry screen = ScreenSelection::select(window, screens);
    const DesktopFrame& usable = screen.usableArea();
    const WindowSize target = targetSize(action, window.size(), usable);
    const WindowSize size = sizeFor(capabilities, target);
    const Placement requested{
        screen.id(),
        placedFrame(action, size, usable, window, originAlignment),
        adjustmentFor(action, target, size, window.size()),
        visibilityOf(size, usable),
    };
    return {requested, action, screen, window, originAlignment};
}

} // namespace WindowPlacement

} // namespace tidewright
