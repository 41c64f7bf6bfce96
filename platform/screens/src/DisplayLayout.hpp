#pragma once
// From one reading of the display (monitors, root size, struts) to the screens: pure, so the rules
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

struct DisplayReading {
    std::vector<x11::Monitor> monitors = {}; // in server order; empty without RandR monitors
    x11::WindowId root = x11::noWindow;
    x11::PixelSize rootSize;
    std::vector<Strut> struts = {};
};

// The screens, primary first, in the bottom-left convention described in X11ScreenSource.hpp.
std::vector<Screen> screensOf(const DisplayReading& reading);

} // namespace platform::screens
