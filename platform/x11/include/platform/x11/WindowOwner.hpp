#pragma once
// The process of a window: the one owner function of the X11 stand-ins. Any client can write any
// process id on its windows, so the server's word comes first and a written id counts only from
// this host and within the range of real process ids; one bad window must not spoil a listing.

#include "platform/x11/XcbConnection.hpp"

#include <xcb/res.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform::x11 {

// What the server and the window say about a window's process.
struct OwnerClues {
    std::optional<std::uint32_t> serverPid;   // X-Resource: the local client's process
    std::optional<std::uint32_t> propertyPid; // _NET_WM_PID
    std::optional<std::string> clientMachine; // WM_CLIENT_MACHINE
};

// The X-Resource pid first; else _NET_WM_PID when WM_CLIENT_MACHINE is absent or names thisHost
// (ignoring case). Only pids 1 to 2^31-1 count; anything else is no owner.
std::optional<std::int32_t> ownerFrom(const OwnerClues& clues, std::string_view thisHost);

// The clues of a window asked for and not read yet, so that an owner lookup rides along with the
// other requests of a step.
struct PendingOwner {
    std::optional<PendingReply<xcb_res_query_client_ids_reply_t>> serverIds; // nothing without X-Resource
    PendingReply<xcb_get_property_reply_t> propertyPid;
    PendingReply<xcb_get_property_reply_t> clientMachine;
};
PendingOwner requestOwner(XcbConnection& connection, xcb_window_t window);
// The owner the clues name, judged against this machine's host name. THROWS XcbFailure (a gone
// window: isBadWindow).
std::optional<std::int32_t> ownerFrom(PendingOwner pending, Deadline deadline);

// The clues of a window, asked for in one round trip. THROWS XcbFailure (a gone window: isBadWindow).
inline std::optional<std::int32_t> windowOwner(XcbConnection& connection, xcb_window_t window,
                                               Deadline deadline) {
    return ownerFrom(requestOwner(connection, window), deadline);
}

} // namespace platform::x11
