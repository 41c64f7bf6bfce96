#include "platform/screens/X11ScreenSource.hpp"

#include "DisplayLayout.hpp"

#include "platform/x11/Monitors.hpp"
#include "platform/x11/Properties.hpp"
#include "platform/x11/XcbConnection.hpp"

#include <optional>

namespace platform {

namespace {

using x11::Deadline;
using x11::PendingReply;
using x11::XcbConnection;
using x11::XcbFailure;

// What one client contributes, asked for all clients at once.
struct PendingClient {
    PendingReply<xcb_get_window_attributes_reply_t> attributes;
    PendingReply<xcb_get_property_reply_t> partial;
    PendingReply<xcb_get_property_reply_t> full;
};

// The client's strut when it is viewable; nothing for a window that has gone meanwhile.
std::optional<screens::Strut> strutOf(PendingClient& client, Deadline deadline) {
    try {
        auto attributes = client.attributes.get(deadline);
        auto partial = client.partial.get(deadline);
        auto full = client.full.get(deadline);
        if (attributes->map_state != XCB_MAP_STATE_VIEWABLE)
            return std::nullopt;
        return screens::strutOf(x11::valuesOf(partial, XCB_ATOM_CARDINAL),
                                x11::valuesOf(full, XCB_ATOM_CARDINAL));
    } catch (const XcbFailure& failure) {
        if (failure.isBadWindow())
            return std::nullopt;
        throw;
    }
}

// The viewable override-redirect children of the root, border included.
std::vector<x11::PixelRect> panelsOf(XcbConnection& connection, Deadline deadline) {
    xcb_connection_t* c = connection.raw();
    auto tree = connection.pending<xcb_query_tree_reply_t>(xcb_query_tree(c, connection.root()).sequence)
                    .get(deadline);
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int count = xcb_query_tree_children_length(tree.get());
    struct PendingChild {
        PendingReply<xcb_get_window_attributes_reply_t> attributes;
        PendingReply<xcb_get_geometry_reply_t> geometry;
    };
    std::vector<PendingChild> pending;
    pending.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        pending.push_back(PendingChild{
            connection.pending<xcb_get_window_attributes_reply_t>(xcb_get_window_attributes(c, children[i]).sequence),
            connection.pending<xcb_get_geometry_reply_t>(xcb_get_geometry(c, children[i]).sequence)});
    }
    std::vector<x11::PixelRect> panels;
    for (PendingChild& child : pending) {
        try {
            auto attributes = child.attributes.get(deadline);
            auto geometry = child.geometry.get(deadline);
            if (attributes->override_redirect == 0 || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
                continue;
            const int border = geometry->border_width;
            panels.push_back(x11::PixelRect{geometry->x, geometry->y, geometry->width + 2 * border,
                                            geometry->height + 2 * border});
        } catch (const XcbFailure& failure) {
            if (!failure.isBadWindow())
                throw;
        }
    }
    return panels;
}

screens::DisplayReading read(XcbConnection& connection, Deadline deadline) {
    xcb_connection_t* c = connection.raw();
    const xcb_window_t root = connection.root();
    auto monitors = x11::requestMonitors(connection);
    auto geometry = connection.pending<xcb_get_geometry_reply_t>(xcb_get_geometry(c, root).sequence);
    auto clientList =
        x11::requestProperty(connection, root, connection.atoms().netClientList, XCB_ATOM_WINDOW);
    auto workArea = x11::requestProperty(connection, root, connection.atoms().netWorkarea, XCB_ATOM_CARDINAL);
    auto desktop = x11::requestProperty(connection, root, connection.atoms().netCurrentDesktop, XCB_ATOM_CARDINAL, 1);

    screens::DisplayReading reading;
    reading.root = root;
    reading.monitors = x11::monitorsFrom(std::move(monitors), deadline);
    auto rootGeometry = geometry.get(deadline);
    reading.rootSize = {rootGeometry->width, rootGeometry->height};
    const std::vector<std::uint32_t> clients = x11::valuesOf(clientList.get(deadline), XCB_ATOM_WINDOW);
    reading.workArea = screens::workAreaOf(x11::valuesOf(workArea.get(deadline), XCB_ATOM_CARDINAL),
                                           x11::valuesOf(desktop.get(deadline), XCB_ATOM_CARDINAL));

    std::vector<PendingClient> pending;
    pending.reserve(clients.size());
    for (xcb_window_t window : clients) {
        pending.push_back(PendingClient{
            connection.pending<xcb_get_window_attributes_reply_t>(
                xcb_get_window_attributes(c, window).sequence),
            x11::requestProperty(connection, window, connection.atoms().netWmStrutPartial, XCB_ATOM_CARDINAL,
                                 12),
            x11::requestProperty(connection, window, connection.atoms().netWmStrut, XCB_ATOM_CARDINAL, 4)});
    }
    for (PendingClient& client : pending) {
        if (std::optional<screens::Strut> strut = strutOf(client, deadline))
            reading.struts.push_back(*strut);
    }
    // The window manager's own panels are looked for only when its work area reserves more than the
    // struts: two more round trips, which a window manager that counts only docks never costs.
    if (screens::workAreaReservesMore(reading))
        reading.panels = panelsOf(connection, deadline);
    return reading;
}

} // namespace

X11ScreenSource::X11ScreenSource(std::string display, std::chrono::milliseconds timeout)
    : display_(std::move(display)), timeout_(timeout) {}

X11ScreenSource::~X11ScreenSource() = default;

std::vector<Screen> X11ScreenSource::screens() {
    const Deadline deadline = x11::Clock::now() + timeout_;
    try {
        if (!connection_ || connection_->broken()) {
            connection_.reset();
            connection_ = XcbConnection::open(display_, deadline);
        }
        return screens::screensOf(read(*connection_, deadline));
    } catch (const XcbFailure&) {
        return {};
    }
}

} // namespace platform
