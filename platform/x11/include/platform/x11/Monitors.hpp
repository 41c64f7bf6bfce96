#pragma once
// The RandR monitors of the screen, read in server order. Also the desktop origin that every frame
// in desktop coordinates is measured from.

#include "platform/x11/WindowFrame.hpp"
#include "platform/x11/XcbConnection.hpp"

#include <xcb/randr.h>

#include <optional>
#include <vector>

namespace platform::x11 {

struct Monitor {
    xcb_atom_t name = XCB_NONE;
    bool primary = false;
    PixelRect area; // in root coordinates
    friend bool operator==(const Monitor&, const Monitor&) = default;
};

// Nothing when the server has no RandR: a request of an absent extension would close the
// connection.
using PendingMonitors = std::optional<PendingReply<xcb_randr_get_monitors_reply_t>>;

// Asked now and read later, so that the monitors ride along with other requests in one round trip.
PendingMonitors requestMonitors(XcbConnection& connection);
// The monitors in server order; empty when the server has no RandR 1.5 (the caller then sees one
// screen, the root). THROWS XcbFailure for a timeout or a broken connection.
std::vector<Monitor> monitorsFrom(PendingMonitors pending, Deadline deadline);
inline std::vector<Monitor> readMonitors(XcbConnection& connection, Deadline deadline) {
    return monitorsFrom(requestMonitors(connection), deadline);
}

// The root position of the first screen's top-left corner: the primary monitor, else the first
// one, else the root's corner.
PixelPoint desktopOriginOf(const std::vector<Monitor>& monitors);

} // namespace platform::x11
