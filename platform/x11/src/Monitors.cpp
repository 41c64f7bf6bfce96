#include "platform/x11/Monitors.hpp"

namespace platform::x11 {

PendingMonitors requestMonitors(XcbConnection& connection) {
    if (!connection.hasRandr())
        return std::nullopt;
    auto cookie = xcb_randr_get_monitors(connection.raw(), connection.root(), 1);
    return connection.pending<xcb_randr_get_monitors_reply_t>(cookie.sequence);
}

std::vector<Monitor> monitorsFrom(PendingMonitors pending, Deadline deadline) {
    if (!pending)
        return {};
    Reply<xcb_randr_get_monitors_reply_t> reply;
    try {
        reply = pending->get(deadline);
    } catch (const XcbFailure& failure) {
        if (failure.kind == XcbFailure::Kind::xError)
            return {}; // no RandR 1.5
        throw;
    }
    std::vector<Monitor> monitors;
    for (auto it = xcb_randr_get_monitors_monitors_iterator(reply.get()); it.rem > 0;
         xcb_randr_monitor_info_next(&it)) {
        monitors.push_back(Monitor{.name = it.data->name,
                                   .primary = it.data->primary != 0,
                                   .area = {it.data->x, it.data->y, it.data->width, it.data->height}});
    }
    return monitors;
}

PixelPoint desktopOriginOf(const std::vector<Monitor>& monitors) {
    for (const Monitor& monitor : monitors) {
        if (monitor.primary)
            return {monitor.area.x, monitor.area.y};
    }
    if (monitors.empty())
        return {};
    return {monitors.front().area.x, monitors.front().area.y};
}

} // namespace platform::x11
