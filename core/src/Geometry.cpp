#include "tidewright/core/Geometry.hpp"

#include <cmath>

namespace tidewright {

namespace {

[[noreturn]] void refuse(GeometryError::Kind kind) {
    throw GeometryError{kind};
}

} // namespace

WindowSize::WindowSize(Points width, Points height) : width_(width), height_(height) {
    if (!(width.value() > 0.0) || !(height.value() > 0.0)) {
        refuse(GeometryError::Kind::nonPositiveSize);
    }
    const double area = width.value() * height.value();
    if (!std::isfinite(area) || !(area > 0.0)) {
        refuse(GeometryError::Kind::unrepresentableGeometry);
    }
}

DesktopFrame::DesktopFrame(DesktopPoint origin, WindowSize size) : origin_(origin), size_(size) {
    const double farX = maxX();
    const double farY = maxY();
    if (!std::isfinite(farX) || !std::isfinite(farY) || !(minX() < farX) || !(minY() < farY)) {
        refuse(GeometryError::Kind::unrepresentableGeometry);
    }
}

// The flip is the same formula both ways: the other convention's y is top - y - height.
BottomLeftFrame DesktopFrame::bottomLeftFrame(Points primaryTop) const {
    return {origin_.x, Points(primaryTop.value() - minY() - size_.height().value()), size_};
}

DesktopFrame BottomLeftFrame::desktopFrame(Points primaryTop) const {
    return DesktopFrame({x, Points(primaryTop.value() - y.value() - size.height().value())}, size);
}

ScreenGeometry::ScreenGeometry(ScreenID id, DesktopFrame frame, DesktopFrame usableArea)
    : id_(id), frame_(frame), usableArea_(usableArea) {
    if (usableArea.minX() < frame.minX() || usableArea.minY() < frame.minY() ||
        usableArea.maxX() > frame.maxX() || usableArea.maxY() > frame.maxY()) {
        refuse(GeometryError::Kind::usableAreaOutsideScreen);
    }
}

} // namespace tidewright
