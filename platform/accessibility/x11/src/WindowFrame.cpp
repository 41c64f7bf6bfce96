#include "platform/accessibility/x11/WindowFrame.hpp"

namespace platform::x11 {

PixelRect visibleFrame(const ClientPlacement& p) {
    const Extents& d = p.decoration;
    const Extents& s = p.clientShadow;
    return PixelRect{
        .x = p.rootOrigin.x - p.border - d.left + s.left - p.desktopOrigin.x,
        .y = p.rootOrigin.y - p.border - d.top + s.top - p.desktopOrigin.y,
        .width = p.size.width + 2 * p.border + d.left + d.right - s.left - s.right,
        .height = p.size.height + 2 * p.border + d.top + d.bottom - s.top - s.bottom,
    };
}

MoveResizeRequest requestFor(const PixelRect& target, const ClientPlacement& p) {
    const Extents& d = p.decoration;
    const Extents& s = p.clientShadow;
    // With north-west gravity the window manager puts its frame's outer corner at the position.
    return MoveResizeRequest{
        .position = {.x = target.x + p.desktopOrigin.x - s.left, .y = target.y + p.desktopOrigin.y - s.top},
        .size = {.width = target.width - 2 * p.border - d.left - d.right + s.left + s.right,
                 .height = target.height - 2 * p.border - d.top - d.bottom + s.top + s.bottom},
    };
}

} // namespace platform::x11
