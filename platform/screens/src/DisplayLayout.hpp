#pragma once
// From one reading of the display (monitors, root size, struts, work area, panels) to the screens: pure, so the rules
// of X11ScreenSource.hpp hold for any value a window may write, and tests reach them without X.

#include "platform/screens/Screens.hpp"
#include "platform/x11/Monitors.hpp"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform::screens {

// One window's reservation: the width of each side from the root's edge, and the range along that
// edge (start and end both included) which it covers.
struct Strut {
    std::uint32_t left = 0, right = 0, top = 0, bottom = 0;
    std::uint32_t leftStartY = 0, leftEndY = 0, rightStartY = 0, rightEndY = 0;
    std::uint32_t topStartX = 0, topEndX = 0, bottomStartX = 0, bottomEndX = 0;
    friend bool operator==(const Strut&, const Strut&) = default;
};

// The reservation of a window's _NET_WM_STRUT_PARTIAL values when there are twelve, else of its
// _NET_WM_STRUT values when there are four (along the whole edge), else nothing.
std::optional<Strut> strutOf(const std::vector<std::uint32_t>& partial,
                             const std::vector<std::uint32_t>& full);

// The part of a monitor (root coordinates) that the struts lying along it leave; always inside the
// monitor, and the whole monitor when it is empty.
x11::PixelRect visibleArea(const x11::PixelRect& monitor, x11::PixelSize root, std::span<const Strut> struts);

// The work area of the current desktop from the root's _NET_WORKAREA values (four per desktop);
// nothing when they hold none for it or an empty or unrepresentable rectangle.
std::optional<x11::PixelRect> workAreaOf(const std::vector<std::uint32_t>& values,
                                         const std::vector<std::uint32_t>& currentDesktop);

// A strip of a visible area that the work area reserves beyond it: for a side whose edge in the
// work area falls strictly inside the visible area, the part between that edge and the side.
struct ReservedStrip {
    enum class Side { left, right, top, bottom };
    Side side;
    std::int32_t edge; // the work area's edge: x for left and right, y for top and bottom
    x11::PixelRect area;
    friend bool operator==(const ReservedStrip&, const ReservedStrip&) = default;
};
std::vector<ReservedStrip> reservedStrips(const x11::PixelRect& visible, const x11::PixelRect& workArea);

// The visible area less what the window manager reserves for a panel of its own: a strip of the work
// area counts when one of the panels (the window manager's unmanaged windows) lies along the
// monitor inside it, so that one work area spanning several monitors never shrinks a monitor that
// has no panel.
x11::PixelRect usableArea(const x11::PixelRect& monitor, const x11::PixelRect& visible,
                          const std::optional<x11::PixelRect>& workArea, std::span<const x11::PixelRect> panels);

struct DisplayReading {
    std::vector<x11::Monitor> monitors = {}; // in server order; empty without RandR monitors
    x11::WindowId root = x11::noWindow;
    x11::PixelSize rootSize;
    std::vector<Strut> struts = {};
    std::optional<x11::PixelRect> workArea = std::nullopt;
    // The viewable override-redirect children of the root, border included: panels that the window
    // manager draws itself are among them. Read only when the work area reserves a strip.
    std::vector<x11::PixelRect> panels = {};
};

// Whether the work area reserves a strip of some monitor beyond its struts, so the panels matter.
bool workAreaReservesMore(const DisplayReading& reading);

// The screens, primary first, in the bottom-left convention described in X11ScreenSource.hpp.
std::vector<Screen> screensOf(const DisplayReading& reading);

} // namespace platform::screens
