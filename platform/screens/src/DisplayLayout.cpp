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

std::optional<x11::PixelRect> workAreaOf(const std::vector<std::uint32_t>& values,
                                         const std::vector<std::uint32_t>& currentDesktop) {
    const std::size_t desktop = currentDesktop.empty() ? 0 : currentDesktop[0];
    if (desktop >= values.size() / 4)
        return std::nullopt;
    const std::uint32_t* v = values.data() + 4 * desktop;
    // X coordinates and sizes are 16-bit on the wire; anything else is no work area.
    constexpr std::uint32_t widest = 32767;
    if (v[0] > widest || v[1] > widest || v[2] == 0 || v[3] == 0 || v[2] > widest || v[3] > widest)
        return std::nullopt;
    return x11::PixelRect{static_cast<std::int32_t>(v[0]), static_cast<std::int32_t>(v[1]),
                          static_cast<std::int32_t>(v[2]), static_cast<std::int32_t>(v[3])};
}

std::vector<ReservedStrip> reservedStrips(const x11::PixelRect& visible, const x11::PixelRect& workArea) {
    using Side = ReservedStrip::Side;
    const std::int64_t left = visible.x;
    const std::int64_t top = visible.y;
    const std::int64_t right = left + visible.width;
    const std::int64_t bottom = top + visible.height;
    const std::int64_t areaLeft = workArea.x;
    const std::int64_t areaTop = workArea.y;
    const std::int64_t areaRight = areaLeft + workArea.width;
    const std::int64_t areaBottom = areaTop + workArea.height;
    // Every edge that counts lies inside the visible area, so each value fits in 32 bits.
    const auto strip = [](Side side, std::int64_t edge, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                          std::int64_t y1) {
        return ReservedStrip{side, static_cast<std::int32_t>(edge),
                             {static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0),
                              static_cast<std::int32_t>(x1 - x0), static_cast<std::int32_t>(y1 - y0)}};
    };
    std::vector<ReservedStrip> strips;
    if (left < areaLeft && areaLeft < right)
        strips.push_back(strip(Side::left, areaLeft, left, top, areaLeft, bottom));
    if (left < areaRight && areaRight < right)
        strips.push_back(strip(Side::right, areaRight, areaRight, top, right, bottom));
    if (top < areaTop && areaTop < bottom)
        strips.push_back(strip(Side::top, areaTop, left, top, right, areaTop));
    if (top < areaBottom && areaBottom < bottom)
        strips.push_back(strip(Side::bottom, areaBottom, left, areaBottom, right, bottom));
    return strips;
}

namespace {

std::optional<x11::PixelRect> intersection(const x11::PixelRect& a, const x11::PixelRect& b) {
    const std::int64_t x0 = std::max<std::int64_t>(a.x, b.x);
    const std::int64_t y0 = std::max<std::int64_t>(a.y, b.y);
    const std::int64_t x1 = std::min(std::int64_t{a.x} + a.width, std::int64_t{b.x} + b.width);
    const std::int64_t y1 = std::min(std::int64_t{a.y} + a.height, std::int64_t{b.y} + b.height);
    if (x0 >= x1 || y0 >= y1)
        return std::nullopt;
    return x11::PixelRect{static_cast<std::int32_t>(x0), static_cast<std::int32_t>(y0),
                          static_cast<std::int32_t>(x1 - x0), static_cast<std::int32_t>(y1 - y0)};
}

bool inside(const x11::PixelRect& inner, const x11::PixelRect& outer) {
    return intersection(inner, outer) == inner;
}

} // namespace

x11::PixelRect usableArea(const x11::PixelRect& monitor, const x11::PixelRect& visible,
                          const std::optional<x11::PixelRect>& workArea, std::span<const x11::PixelRect> panels) {
    if (!workArea)
        return visible;
    // The strips come from the visible area alone, so each side moves at most to the work area's
    // edge, which lies strictly inside it: the result stays inside the monitor and never empty.
    std::int64_t left = visible.x;
    std::int64_t top = visible.y;
    std::int64_t right = left + visible.width;
    std::int64_t bottom = top + visible.height;
    for (const ReservedStrip& strip : reservedStrips(visible, *workArea)) {
        // A panel lies along the monitor in the strip: what it shows of itself there, it shows
        // nowhere else on the monitor. A menu or a notice that reaches out of the strip is no panel.
        const bool panelInStrip = std::any_of(panels.begin(), panels.end(), [&](const x11::PixelRect& panel) {
            const std::optional<x11::PixelRect> shown = intersection(panel, monitor);
            return shown && inside(*shown, strip.area);
        });
        if (!panelInStrip)
            continue;
        switch (strip.side) {
        case ReservedStrip::Side::left:
            left = strip.edge;
            break;
        case ReservedStrip::Side::right:
            right = strip.edge;
            break;
        case ReservedStrip::Side::top:
            top = strip.edge;
            break;
        case ReservedStrip::Side::bottom:
            bottom = strip.edge;
            break;
        }
    }
    return {static_cast<std::int32_t>(left), static_cast<std::int32_t>(top), static_cast<std::int32_t>(right - left),
            static_cast<std::int32_t>(bottom - top)};
}

namespace {

std::vector<x11::Monitor> monitorsOf(const DisplayReading& reading) {
    std::vector<x11::Monitor> monitors = reading.monitors;
    if (monitors.empty()) {
        monitors.push_back(x11::Monitor{.name = reading.root,
                                        .primary = true,
                                        .area = {0, 0, reading.rootSize.width, reading.rootSize.height}});
    }
    return monitors;
}

} // namespace

bool workAreaReservesMore(const DisplayReading& reading) {
    if (!reading.workArea)
        return false;
    for (const x11::Monitor& monitor : monitorsOf(reading)) {
        if (!reservedStrips(visibleArea(monitor.area, reading.rootSize, reading.struts), *reading.workArea).empty())
            return true;
    }
    return false;
}

std::vector<Screen> screensOf(const DisplayReading& reading) {
    std::vector<x11::Monitor> monitors = monitorsOf(reading);
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
        const x11::PixelRect visible =
            usableArea(monitor.area, visibleArea(monitor.area, reading.rootSize, reading.struts), reading.workArea,
                       reading.panels);
        screens.push_back(Screen{.frame = bottomLeft(monitor.area, origin, firstHeight),
                                 .visibleFrame = bottomLeft(visible, origin, firstHeight),
                                 .deviceDescription = {{screenNumberKey, DeviceValue(monitor.name)}}});
    }
    return screens;
}

} // namespace platform::screens
