#include "DisplayLayout.hpp"

#include <algorithm>
#include <limits>

namespace platform::screens {

namespace {

constexpr std::uint32_t wholeEdge = std::numeric_limits<std::uint32_t>::max();

// A closed range [start, end] along an edge shares a pixel with the half-open [low, high).
bool overlaps(std::int64_t start, std::int64_t end, std::int64_t low, std::int64_t high) {
    return start <= end && start < high && end >= low;
}

// Windows may write any 32-bit value, so everything is measured in 64 bits.
struct Span {
    std::int64_t low;
    std::int64_t high;
};

// Struts coming in from the low side raise `low`; those from the high side lower `high`. A side
// counts only when its inner edge falls strictly inside the monitor.
void reserveFromLow(Span& visible, const Span& monitor, std::uint32_t width, std::int64_t start,
                    std::int64_t end, const Span& across) {
    const std::int64_t edge = width;
    if (width > 0 && monitor.low < edge && edge < monitor.high &&
        overlaps(start, end, across.low, across.high))
        visible.low = std::max(visible.low, edge);
}

void reserveFromHigh(Span& visible, const Span& monitor, std::uint32_t width, std::int64_t rootExtent,
                     std::int64_t start, std::int64_t end, const Span& across) {
    const std::int64_t edge = rootExtent - width;
    if (width > 0 && monitor.low < edge && edge < monitor.high &&
        overlaps(start, end, across.low, across.high))
        visible.high = std::min(visible.high, edge);
}

ScreenRect bottomLeft(const x11::PixelRect& area, x11::PixelPoint origin, std::int32_t firstHeight) {
    const std::int64_t x = std::int64_t{area.x} - origin.x;
    const std::int64_t top = std::int64_t{area.y} - origin.y;
    return {static_cast<double>(x), static_cast<double>(firstHeight - (top + area.height)),
            static_cast<double>(area.width), static_cast<double>(area.height)};
}

} // namespace

std::optional<Strut> strutOf(const std::vector<std::uint32_t>& partial,
                             const std::vector<std::uint32_t>& full) {
    if (partial.size() >= 12) {
        const auto& v = partial;
        return Strut{v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], v[11]};
    }
    if (full.size() >= 4) {
        return Strut{full[0], full[1],   full[2], full[3],   0, wholeEdge,
                     0,       wholeEdge, 0,       wholeEdge, 0, wholeEdge};
    }
    return std::nullopt;
}

x11::PixelRect visibleArea(const x11::PixelRect& monitor, x11::PixelSize root,
                           std::span<const Strut> struts) {
    const Span columns{monitor.x, std::int64_t{monitor.x} + monitor.width};
    const Span rows{monitor.y, std::int64_t{monitor.y} + monitor.height};
    Span x = columns;
    Span y = rows;
    for (const Strut& s : struts) {
        reserveFromLow(x, columns, s.left, s.leftStartY, s.leftEndY, rows);
        reserveFromHigh(x, columns, s.right, root.width, s.rightStartY, s.rightEndY, rows);
        reserveFromLow(y, rows, s.top, s.topStartX, s.topEndX, columns);
        reserveFromHigh(y, rows, s.bottom, root.height, s.bottomStartX, s.bottomEndX, columns);
    }
    // Opposite struts that meet or cross are not believable; that direction keeps the monitor.
    if (x.low >= x.high)
        x = columns;
    if (y.low >= y.high)
        y = rows;
    // Inside the monitor, so each value fits where the monitor's did.
    return {static_cast<std::int32_t>(x.low), static_cast<std::int32_t>(y.low),
            static_cast<std::int32_t>(x.high - x.low), static_cast<std::int32_t>(y.high - y.low)};
}

std::vector<Screen> screensOf(const DisplayReading& reading) {
    std::vector<x11::Monitor> monitors = reading.monitors;
    if (monitors.empty()) {
        monitors.push_back(x11::Monitor{.name = reading.root,
                                        .primary = true,
                                        .area = {0, 0, reading.rootSize.width, reading.rootSize.height}});
    }
    // The primary monitor first, the rest keeping the server's order.
    auto primary =
        std::find_if(monitors.begin(), monitors.end(), [](const x11::Monitor& m) { return m.primary; });
    if (primary != monitors.end())
        std::rotate(monitors.begin(), primary, primary + 1);

    const x11::PixelPoint origin = x11::desktopOriginOf(monitors);
    const std::int32_t firstHeight = monitors.front().area.height;
    std::vector<Screen> screens;
    screens.reserve(monitors.size());
    for (const x11::Monitor& monitor : monitors) {
        const x11::PixelRect visible = visibleArea(monitor.area, reading.rootSize, reading.struts);
        screens.push_back(Screen{.frame = bottomLeft(monitor.area, origin, firstHeight),
                                 .visibleFrame = bottomLeft(visible, origin, firstHeight),
                                 .deviceDescription = {{screenNumberKey, DeviceValue(monitor.name)}}});
    }
    return screens;
}

} // namespace platform::screens
