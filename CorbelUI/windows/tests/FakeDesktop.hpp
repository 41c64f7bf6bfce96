#pragma once
// Screens and a mouse that a test sets by hand, in desktop coordinates.

#include "corbel/ui/DesktopPointer.hpp"
#include "platform/screens/ScreenReading.hpp"

#include <optional>
#include <vector>

namespace corbel::testing {

inline tidewright::DesktopFrame desktopRect(double x, double y, double width, double height) {
    using tidewright::Points;
    return {{Points(x), Points(y)}, tidewright::WindowSize(Points(width), Points(height))};
}

// A screen with its frame and usable area given as x, y, width, height.
inline tidewright::ScreenGeometry screen(std::uint32_t id, QRectF frame, QRectF usable) {
    return {tidewright::ScreenID{id}, desktopRect(frame.x(), frame.y(), frame.width(), frame.height()),
            desktopRect(usable.x(), usable.y(), usable.width(), usable.height())};
}

class FakeScreens final : public platform::ScreenReading {
public:
    std::vector<tidewright::ScreenGeometry> screens() const override {
        ++reads;
        if (refusal) {
            throw *refusal;
        }
        return list;
    }

    std::vector<tidewright::ScreenGeometry> list;
    std::optional<tidewright::GeometryError> refusal;
    mutable int reads = 0;
};

class FakePointer final : public DesktopPointer {
public:
    QPointF location() const override { return mouse; }
    QPoint desktopOrigin() const override { return origin; }

    QPointF mouse;
    QPoint origin;
};

} // namespace corbel::testing
