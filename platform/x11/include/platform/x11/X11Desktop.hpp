#pragma once
// Reads and requests on the managed windows of an EWMH window manager, over one XcbConnection.
// Every call waits at most until its deadline and throws XcbFailure; not safe for concurrent use.

#include "platform/x11/Monitors.hpp"
#include "platform/x11/WindowFrame.hpp"
#include "platform/x11/WindowOwner.hpp"
#include "platform/x11/XcbConnection.hpp"

#include <xcb/xcb_icccm.h>

#include <optional>
#include <vector>

namespace platform::x11 {

struct SizeHints {
    std::optional<PixelSize> minimum;
    std::optional<PixelSize> maximum;
    friend bool operator==(const SizeHints&, const SizeHints&) = default;
};

class X11Desktop {
public:
    explicit X11Desktop(XcbConnection& connection);
    ~X11Desktop();
    X11Desktop(const X11Desktop&) = delete;
    X11Desktop& operator=(const X11Desktop&) = delete;

    XcbConnection& connection() const { return connection_; }
    const Atoms& atoms() const { return connection_.atoms(); }

    // True when an EWMH window manager runs: _NET_SUPPORTING_WM_CHECK on the root names a window
    // that carries the same property pointing at itself.
    bool windowManagerRuns(Deadline deadline) {
        return windowManagerRuns(requestSupportingCheck(), deadline);
    }
    std::vector<xcb_atom_t> supported(Deadline deadline) { return atomsFrom(requestSupported(), deadline); }

    std::vector<xcb_window_t> clientList(Deadline deadline);
    // The client list asked for now and judged later, so that the check rides along with the
    // requests made meanwhile.
    PendingReply<xcb_get_property_reply_t> requestClientList();
    bool isManaged(PendingReply<xcb_get_property_reply_t> clientList, xcb_window_t window, Deadline deadline);
    // Bottom to top.
    std::vector<xcb_window_t> clientListStacking(Deadline deadline);
    std::optional<xcb_window_t> activeWindow(Deadline deadline);

    // The owner function (WindowOwner.hpp).
    std::optional<std::int32_t> processOf(xcb_window_t window, Deadline deadline) {
        return ownerFrom(requestOwner(connection_, window), deadline);
    }
    std::vector<xcb_atom_t> states(xcb_window_t window, Deadline deadline) {
        return atomsFrom(requestStates(window), deadline);
    }
    std::vector<xcb_atom_t> types(xcb_window_t window, Deadline deadline) {
        return atomsFrom(requestTypes(window), deadline);
    }
    std::vector<xcb_atom_t> allowedActions(xcb_window_t window, Deadline deadline) {
        return atomsFrom(requestAllowedActions(window), deadline);
    }
    std::optional<xcb_window_t> transientFor(xcb_window_t window, Deadline deadline) {
        return transientFrom(requestTransientFor(window), window, deadline);
    }
    // ICCCM WM_STATE says IconicState.
    bool iconic(xcb_window_t window, Deadline deadline) {
        return iconicFrom(requestWmState(window), deadline);
    }
    // Mapped with every ancestor: the window manager shows it.
    bool viewable(xcb_window_t window, Deadline deadline) {
        return viewableFrom(requestAttributes(window), deadline);
    }
    SizeHints sizeHints(xcb_window_t window, Deadline deadline) {
        return sizeHintsFrom(requestSizeHints(window), deadline);
    }

    // The same reads as requests sent now and replies judged later, so that the reads one step
    // needs go out together and cost one round trip. A request whose reply turns out not to be
    // needed is dropped unread, and so is its error.
    using PendingProperty = PendingReply<xcb_get_property_reply_t>;
    PendingProperty requestSupportingCheck();
    // Reads the check window the root names, a second round trip.
    bool windowManagerRuns(PendingProperty supportingCheck, Deadline deadline);
    PendingProperty requestSupported();
    PendingProperty requestStates(xcb_window_t window);
    PendingProperty requestTypes(xcb_window_t window);
    PendingProperty requestAllowedActions(xcb_window_t window);
    PendingProperty requestTransientFor(xcb_window_t window);
    PendingProperty requestWmState(xcb_window_t window);
    PendingProperty requestSizeHints(xcb_window_t window);
    // The atoms of a requested atom list: supported, states, types, allowed actions.
    std::vector<xcb_atom_t> atomsFrom(PendingProperty pending, Deadline deadline);
    std::optional<xcb_window_t> transientFrom(PendingProperty pending, xcb_window_t window,
                                              Deadline deadline);
    bool iconicFrom(PendingProperty pending, Deadline deadline);
    SizeHints sizeHintsFrom(PendingProperty pending, Deadline deadline);
    using PendingAttributes = PendingReply<xcb_get_window_attributes_reply_t>;
    PendingAttributes requestAttributes(xcb_window_t window);
    bool viewableFrom(PendingAttributes pending, Deadline deadline);

    // Everything the frame function needs, read in one round trip.
    ClientPlacement placement(xcb_window_t window, Deadline deadline) {
        return placementFrom(requestPlacement(window), deadline);
    }
    struct PendingPlacement {
        PendingReply<xcb_get_geometry_reply_t> geometry;
        PendingReply<xcb_translate_coordinates_reply_t> translated;
        PendingProperty decoration;
        PendingProperty shadow;
        PendingMonitors monitors;
    };
    PendingPlacement requestPlacement(xcb_window_t window);
    ClientPlacement placementFrom(PendingPlacement pending, Deadline deadline);
    PixelRect frame(xcb_window_t window, Deadline deadline) {
        return visibleFrame(placement(window, deadline));
    }
    // The root position of the first screen's top-left corner (desktopOriginOf).
    PixelPoint desktopOrigin(Deadline deadline);

    // Moves and/or resizes the visible frame through the window manager and returns once it has
    // applied the request. A maximized or fullscreen window leaves those states first, because
    // window managers refuse to move such windows.
    void moveResize(xcb_window_t window, std::optional<PixelPoint> position, std::optional<PixelSize> size,
                    Deadline deadline) {
        sendMoveResize(std::nullopt, window, position, size, deadline);
        settle(deadline);
    }
    // The same, but returns once the request is sent: the window manager applies it later, and
    // settle() waits for that. Moves of one window sent one after another are applied in order, so
    // they need no wait in between; a move of another window settles the pending ones first.
    // The window must be in the client list asked for before (requestClientList), if one is given:
    // a window the window manager does not manage is not touched, and the call throws BadWindow.
    // The check shares the round trip of the first reads.
    void sendMoveResize(std::optional<PendingProperty> clientList, xcb_window_t window,
                        std::optional<PixelPoint> position, std::optional<PixelSize> size, Deadline deadline);
    // Returns once the window manager has applied every move sent before; at once when none waits.
    // A wait that ends at the deadline (THROWS XcbFailure timedOut) gives the moves up: the next
    // call does not wait for them again.
    void settle(Deadline deadline);
    // Asks the window manager for the frame extents a window would get; it answers by writing
    // _NET_FRAME_EXTENTS on the window.
    void requestFrameExtents(xcb_window_t window);

private:
    std::vector<std::uint32_t> cardinals(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                         Deadline deadline);
    void sendToRoot(xcb_window_t window, xcb_atom_t type, const std::array<std::uint32_t, 5>& data);
    // Returns once the window manager has handled every message sent to it before this call; false
    // when `window` (if given) was destroyed meanwhile. THROWS XcbFailure timedOut at the deadline.
    bool waitForWindowManager(xcb_window_t window, Deadline deadline);
    // Counts the answers among the events, whoever takes them from the connection.
    void note(const xcb_generic_event_t& event);
    void watch(xcb_window_t window);

    XcbConnection& connection_;
    xcb_window_t probe_ = XCB_NONE; // unmapped, for waitForWindowManager
    // Which window the window manager answers frame-extents requests for: a window of ours it does
    // not manage, or only the root (fluxbox); unknown until one answer came.
    enum class Answerer { unknown, probe, root };
    Answerer answerer_ = Answerer::unknown;
    // Requests not answered yet, for the probe and for the root.
    std::uint64_t probeOwed_ = 0;
    std::uint64_t rootOwed_ = 0;
    // The window whose moves the window manager may not have applied yet.
    std::optional<xcb_window_t> unsettled_;
};

} // namespace platform::x11
