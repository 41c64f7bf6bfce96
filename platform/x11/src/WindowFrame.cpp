#include "platform/x11/WindowFrame.hpp"

#include <initializer_list>

namespace platform::x11 {

namespace {

// Any client can write both extents properties. No real side is wider than an X coordinate can
// reach, and keeping the sides below that keeps every sum here far from overflowing.
constexpr std::int32_t widestSide = 32767;

bool plausible(const Extents& e) {
    for (std::int32_t side : {e.left, e.right, e.top, e.bottom}) {
        if (side < 0 || side > widestSide)
            return false;
    }
    return true;
}

Extents decorationOf(const ClientPlacement& p) {
    return plausible(p.decoration) ? p.decoration : Extents{};
}

// The shadow is drawn inside the client window, so it always leaves some of the client visible.
Extents shadowOf(const ClientPlacement& p) {
    const Extents& s = p.clientShadow;
    if (!plausible(s) || s.left + s.right >= p.size.width || s.top + s.bottom >= p.size.height)
        return {};
    return s;
}

} // namespace

PixelRect visibleFrame(const ClientPlacement& p) {
    const Extents d = decorationOf(p);
    const Extents s = shadowOf(p);
    return PixelRect{
        .x = p.rootOrigin.x - p.border - d.left + s.left - p.desktopOrigin.x,
        .y = p.rootOrigin.y - p.border - d.top + s.top - p.desktopOrigin.y,
        .width = p.size.width + 2 * p.border + d.left + d.right - s.left - s.right,
        .height = p.size.height + 2 * p.border + d.top + d.bottom - s.top - s.bottom,
    };
}

MoveResizeRequest requestFor(const PixelRect& target, const ClientPlacement& p) {
    const Extents d = decorationOf(p);
    const Extents s = shadowOf(p);
    // With north-west gravity the window manager puts its frame's outer corner at the position.
    return MoveResizeRequest{
        .position = {.x = target.x + p.desktopOrigin.x - s.left, .y = target.y + p.desktopOrigin.y - s.top},
        .size = {.width = target.width - 2 * p.border - d.left - d.right + s.left + s.right,
                 .height = target.height - 2 * p.border - d.top - d.bottom + s.top + s.bottom},
    };
}

} // namespace platform::x11
