#include "tidewright/core/ScreenSelection.hpp"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tidewright::ScreenSelection {

namespace {

void requireDistinctIDs(std::span<const ScreenGeometry> screens) {
    for (std::size_t i = 1; i < screens.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (screens[j].id() == screens[i].id()) {
                throw GeometryError::duplicate(screens[i].id());
            }
        }
    }
}

double overlapArea(const DesktopFrame& a, const DesktopFrame& b) {
    const double width = std::max(std::min(a.maxX(), b.maxX()) - std::max(a.minX(), b.minX()), 0.0);
    const double height = std::max(std::min(a.maxY(), b.maxY()) - std::max(a.minY(), b.minY()), 0.0);
    return width * height;
}

// Scaled by the power of two at the larger leg so that the squares do not overflow before the root.
// Dividing by the leg itself would round the quotients, and two screens exactly as far from the
// centre (975 straight down, or 375 across and 900 down) would then differ in the last bit, so the
// tie would not go to the lower id.
double distance(double cx, double cy, const DesktopFrame& frame) {
    const double dx = std::max({frame.minX() - cx, cx - frame.maxX(), 0.0});
    const double dy = std::max({frame.minY() - cy, cy - frame.maxY(), 0.0});
    if (dx == 0.0 && dy == 0.0) {
        return 0.0;
    }
    const double m = std::max(dx, dy);
    if (!std::isfinite(m)) {
        return m;
    }
    const int scale = std::ilogb(m);
    const double sx = std::scalbn(dx, -scale);
    const double sy = std::scalbn(dy, -scale);
    return std::scalbn(std::sqrt(sx * sx + sy * sy), scale);
}

// Index of the screen with the best score (higher is better when preferHigher); equal scores go to
// the lower screen id.
template <typename Score>
std::size_t best(std::span<const ScreenGeometry> screens, const Score& score, bool preferHigher) {
    std::size_t bestIndex = 0;
    double bestScore = score(screens[0]);
    for (std::size_t i = 1; i < screens.size(); ++i) {
        const double s = score(screens[i]);
        const bool better = preferHigher ? s > bestScore : s < bestScore;
        if (better || (s == bestScore && screens[i].id() < screens[bestIndex].id())) {
            bestIndex = i;
            bestScore = s;
        }
    }
    return bestIndex;
}

} // namespace

ScreenGeometry select(const DesktopFrame& window, std::span<const ScreenGeometry> screens) {
    if (screens.empty()) {
        throw GeometryError{GeometryError::Kind::noScreens};
    }
    requireDistinctIDs(screens);

    const auto area = [&](const ScreenGeometry& screen) {
        return overlapArea(window, screen.frame());
    };
    const std::size_t overlapping = best(screens, area, true);
    if (area(screens[overlapping]) > 0.0) {
        return screens[overlapping];
    }

    const double cx = window.minX() + window.size().width().value() * 0.5;
    const double cy = window.minY() + window.size().height().value() * 0.5;
    if (!std::isfinite(cx) || !std::isfinite(cy)) {
        throw GeometryError{GeometryError::Kind::nonFinitePoints};
    }
    const auto distanceTo = [&](const ScreenGeometry& screen) {
        const double d = distance(cx, cy, screen.frame());
        if (!std::isfinite(d)) {
            throw GeometryError{GeometryError::Kind::unrepresentableGeometry};
        }
        return d;
    };
    return screens[best(screens, distanceTo, false)];
}

} // namespace tidewright::ScreenSelection
