#include "platform/x11/X11Desktop.hpp"

#include "platform/x11/Monitors.hpp"
#include "platform/x11/Properties.hpp"
#include "platform/x11/WindowOwner.hpp"

#include <algorithm>
#include <cstddef>

namespace platform::x11 {

namespace {

Extents extentsOf(const PropertyReply& reply) {
    std::vector<std::uint32_t> v = valuesOf(reply, XCB_ATOM_CARDINAL);
    if (v.size() < 4)
        return {};
    return Extents{static_cast<std::int32_t>(v[0]), static_cast<std::int32_t>(v[1]),
                   static_cast<std::int32_t>(v[2]), static_cast<std::int32_t>(v[3])};
}

bool contains(const std::vector<xcb_atom_t>& atoms, xcb_atom_t atom) {
    return std::find(atoms.begin(), atoms.end(), atom) != atoms.end();
}

constexpr std::uint32_t sourcePager = 2;
constexpr std::uint32_t gravityNorthWest = 1;
constexpr std::uint32_t stateRemove = 0;

} // namespace

std::vector<std::uint32_t> X11Desktop::cardinals(xcb_window_t window, xcb_atom_t property, xcb_atom_t type,
                                                 Deadline deadline) {
    return valuesOf(requestProperty(connection_, window, property, type, maxListLength).get(deadline), type);
}

X11Desktop::PendingProperty X11Desktop::requestSupportingCheck() {
    return requestProperty(connection_, connection_.root(), atoms().netSupportingWmCheck, XCB_ATOM_WINDOW,
                           maxListLength);
}

bool X11Desktop::windowManagerRuns(PendingProperty supportingCheck, Deadline deadline) {
    auto onRoot = valuesOf(supportingCheck.get(deadline), XCB_ATOM_WINDOW);
    if (onRoot.empty() || onRoot[0] == XCB_NONE)
        return false;
    try {
        auto onCheck = cardinals(onRoot[0], atoms().netSupportingWmCheck, XCB_ATOM_WINDOW, deadline);
        return !onCheck.empty() && onCheck[0] == onRoot[0];
    } catch (const XcbFailure& failure) {
        // A stale check window left behind by a window manager that has gone.
        if (failure.isBadWindow())
            return false;
        throw;
    }
}

X11Desktop::PendingProperty X11Desktop::requestSupported() {
    return requestProperty(connection_, connection_.root(), atoms().netSupported, XCB_ATOM_ATOM,
                           maxListLength);
}

std::vector<xcb_window_t> X11Desktop::clientList(Deadline deadline) {
    return cardinals(connection_.root(), atoms().netClientList, XCB_ATOM_WINDOW, deadline);
}

std::vector<xcb_window_t> X11Desktop::clientListStacking(Deadline deadline) {
    return cardinals(connection_.root(), atoms().netClientListStacking, XCB_ATOM_WINDOW, deadline);
}

std::optional<xcb_window_t> X11Desktop::activeWindow(Deadline deadline) {
    auto values = cardinals(connection_.root(), atoms().netActiveWindow, XCB_ATOM_WINDOW, deadline);
    if (values.empty() || values[0] == XCB_NONE)
        return std::nullopt;
    return values[0];
}

X11Desktop::PendingProperty X11Desktop::requestStates(xcb_window_t window) {
    return requestProperty(connection_, window, atoms().netWmState, XCB_ATOM_ATOM, maxListLength);
}

X11Desktop::PendingProperty X11Desktop::requestTypes(xcb_window_t window) {
    return requestProperty(connection_, window, atoms().netWmWindowType, XCB_ATOM_ATOM, maxListLength);
}

X11Desktop::PendingProperty X11Desktop::requestAllowedActions(xcb_window_t window) {
    return requestProperty(connection_, window, atoms().netWmAllowedActions, XCB_ATOM_ATOM, maxListLength);
}

X11Desktop::PendingProperty X11Desktop::requestTransientFor(xcb_window_t window) {
    return requestProperty(connection_, window, atoms().wmTransientFor, XCB_ATOM_WINDOW, maxListLength);
}

X11Desktop::PendingProperty X11Desktop::requestWmState(xcb_window_t window) {
    return requestProperty(connection_, window, atoms().wmState, atoms().wmState, maxListLength);
}

X11Desktop::PendingProperty X11Desktop::requestSizeHints(xcb_window_t window) {
    return requestProperty(connection_, window, XCB_ATOM_WM_NORMAL_HINTS, XCB_ATOM_WM_SIZE_HINTS, 18);
}

std::vector<xcb_atom_t> X11Desktop::atomsFrom(PendingProperty pending, Deadline deadline) {
    return valuesOf(pending.get(deadline), XCB_ATOM_ATOM);
}

std::optional<xcb_window_t> X11Desktop::transientFrom(PendingProperty pending, xcb_window_t window,
                                                      Deadline deadline) {
    auto values = valuesOf(pending.get(deadline), XCB_ATOM_WINDOW);
    if (values.empty() || values[0] == XCB_NONE || values[0] == window)
        return std::nullopt;
    return values[0];
}

bool X11Desktop::iconicFrom(PendingProperty pending, Deadline deadline) {
    auto values = valuesOf(pending.get(deadline), atoms().wmState);
    return !values.empty() && values[0] == XCB_ICCCM_WM_STATE_ICONIC;
}

X11Desktop::PendingAttributes X11Desktop::requestAttributes(xcb_window_t window) {
    return connection_.pending<xcb_get_window_attributes_reply_t>(
        xcb_get_window_attributes(connection_.raw(), window).sequence);
}

bool X11Desktop::viewableFrom(PendingAttributes pending, Deadline deadline) {
    return pending.get(deadline)->map_state == XCB_MAP_STATE_VIEWABLE;
}

SizeHints X11Desktop::sizeHintsFrom(PendingProperty pending, Deadline deadline) {
    auto reply = pending.get(deadline);
    xcb_size_hints_t hints{};
    if (xcb_icccm_get_wm_size_hints_from_reply(&hints, reply.get()) == 0)
        return {};
    // The library copies what the property holds and keeps the flags it claims, so a short
    // property would pass zeroes off as limits: a limit counts only when its fields are there.
    const auto fields = static_cast<std::size_t>(xcb_get_property_value_length(reply.get())) / 4;
    const auto holds = [&](std::size_t offset) {
        return offset / 4 < fields;
    };
    SizeHints result;
    if ((hints.flags & XCB_ICCCM_SIZE_HINT_P_MIN_SIZE) != 0 &&
        holds(offsetof(xcb_size_hints_t, min_height))) {
        result.minimum = PixelSize{hints.min_width, hints.min_height};
    }
    if ((hints.flags & XCB_ICCCM_SIZE_HINT_P_MAX_SIZE) != 0 &&
        holds(offsetof(xcb_size_hints_t, max_height))) {
        result.maximum = PixelSize{hints.max_width, hints.max_height};
    }
    return result;
}

PixelPoint X11Desktop::desktopOrigin(Deadline deadline) {
    return desktopOriginOf(readMonitors(connection_, deadline));
}

X11Desktop::PendingPlacement X11Desktop::requestPlacement(xcb_window_t window) {
    // Five requests, one round trip.
    xcb_connection_t* c = connection_.raw();
    return PendingPlacement{
        connection_.pending<xcb_get_geometry_reply_t>(xcb_get_geometry(c, window).sequence),
        connection_.pending<xcb_translate_coordinates_reply_t>(
            xcb_translate_coordinates(c, window, connection_.root(), 0, 0).sequence),
        requestProperty(connection_, window, atoms().netFrameExtents, XCB_ATOM_CARDINAL, 4),
        requestProperty(connection_, window, atoms().gtkFrameExtents, XCB_ATOM_CARDINAL, 4),
        requestMonitors(connection_)};
}

ClientPlacement X11Desktop::placementFrom(PendingPlacement pending, Deadline deadline) {
    ClientPlacement result;
    auto geometryReply = pending.geometry.get(deadline);
    auto translatedReply = pending.translated.get(deadline);
    result.rootOrigin = {translatedReply->dst_x, translatedReply->dst_y};
    result.size = {geometryReply->width, geometryReply->height};
    result.border = geometryReply->border_width;
    result.decoration = extentsOf(pending.decoration.get(deadline));
    result.clientShadow = extentsOf(pending.shadow.get(deadline));
    result.desktopOrigin = desktopOriginOf(monitorsFrom(std::move(pending.monitors), deadline));
    return result;
}

bool X11Desktop::isManaged(PendingReply<xcb_get_property_reply_t> clientList, xcb_window_t window,
                           Deadline deadline) {
    return contains(valuesOf(clientList.get(deadline), XCB_ATOM_WINDOW), window);
}

PendingReply<xcb_get_property_reply_t> X11Desktop::requestClientList() {
    return requestProperty(connection_, connection_.root(), atoms().netClientList, XCB_ATOM_WINDOW,
                           maxListLength);
}

void X11Desktop::sendToRoot(xcb_window_t window, xcb_atom_t type, const std::array<std::uint32_t, 5>& data) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::copy(data.begin(), data.end(), message.data.data32);
    xcb_send_event(connection_.raw(), 0, connection_.root(),
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
}

void X11Desktop::watch(xcb_window_t window) {
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection_.raw(), window, XCB_CW_EVENT_MASK, &mask);
}

X11Desktop::X11Desktop(XcbConnection& connection) : connection_(connection) {
    connection_.onEvent = [this](const xcb_generic_event_t& event) {
        note(event);
    };
}

void X11Desktop::note(const xcb_generic_event_t& event) {
    if ((event.response_type & 0x7f) != XCB_PROPERTY_NOTIFY)
        return;
    const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
    if (notify.atom != atoms().netFrameExtents || notify.state != XCB_PROPERTY_NEW_VALUE)
        return;
    if (probe_ != XCB_NONE && notify.window == probe_ && probeOwed_ > 0)
        --probeOwed_;
    if (notify.window == connection_.root() && rootOwed_ > 0)
        --rootOwed_;
}

bool X11Desktop::waitForWindowManager(xcb_window_t window, Deadline deadline) {
    // The window manager handles its messages in order and answers a frame-extents request by
    // writing _NET_FRAME_EXTENTS on the window named. So once that write shows, every message sent
    // before has been applied. Openbox and icewm answer it for a private unmapped window of ours;
    // fluxbox only for the root window. Until one has answered both are asked, and whichever
    // answers first is asked from then on.
    if (answerer_ != Answerer::root && probe_ == XCB_NONE) {
        probe_ = xcb_generate_id(connection_.raw());
        probeOwed_ = 0;
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        connection_.check(xcb_create_window_checked(connection_.raw(), 0, probe_, connection_.root(), -1, -1,
                                                    1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                                                    XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask),
                          deadline);
    }
    if (answerer_ != Answerer::root) {
        requestFrameExtents(probe_);
        ++probeOwed_;
    }
    if (answerer_ != Answerer::probe) {
        connection_.selectRootEvents(XCB_EVENT_MASK_PROPERTY_CHANGE);
        requestFrameExtents(connection_.root());
        ++rootOwed_;
    }
    for (;;) {
        if (answerer_ != Answerer::root && probeOwed_ == 0) {
            answerer_ = Answerer::probe;
            return true;
        }
        if (answerer_ != Answerer::probe && rootOwed_ == 0) {
            answerer_ = Answerer::root;
            return true;
        }
        auto event = connection_.waitForEvent(deadline);
        if (!event) {
            // A late answer must not pass for the answer to a later wait: that one uses a new probe
            // and asks both again (the window manager may have been replaced meanwhile).
            if (probe_ != XCB_NONE)
                xcb_destroy_window(connection_.raw(), std::exchange(probe_, XCB_NONE));
            probeOwed_ = 0;
            answerer_ = Answerer::unknown;
            throw XcbFailure(XcbFailure::Kind::timedOut);
        }
        if (window != XCB_NONE && (event->response_type & 0x7f) == XCB_DESTROY_NOTIFY &&
            reinterpret_cast<const xcb_destroy_notify_event_t*>(event.get())->window == window) {
            return false;
        }
    }
}

void X11Desktop::requestFrameExtents(xcb_window_t window) {
    sendToRoot(window, atoms().netRequestFrameExtents, {0, 0, 0, 0, 0});
}

X11Desktop::~X11Desktop() {
    connection_.onEvent = nullptr;
    if (probe_ != XCB_NONE && !connection_.broken()) {
        xcb_destroy_window(connection_.raw(), probe_);
        xcb_flush(connection_.raw());
    }
}

void X11Desktop::settle(Deadline deadline) {
    if (!unsettled_)
        return;
    // Settled or given up, the moves are no longer waited for: a wait that never ends must not make
    // every later read wait for it too. A window destroyed meanwhile has nothing left to settle.
    const xcb_window_t window = *std::exchange(unsettled_, std::nullopt);
    waitForWindowManager(window, deadline);
}

void X11Desktop::sendMoveResize(std::optional<PendingProperty> clientList, xcb_window_t window,
                                std::optional<PixelPoint> position, std::optional<PixelSize> size,
                                Deadline deadline) {
    if (unsettled_ && *unsettled_ != window)
        settle(deadline);
    watch(window);
    // Events from earlier calls say nothing about this one.
    connection_.discardEvents();

    // The states travel with the placement and the managed check: one round trip unless the window
    // must leave them.
    auto pendingStates = requestStates(window);
    auto pendingPlacement = requestPlacement(window);
    if (clientList && !isManaged(std::move(*clientList), window, deadline))
        throw XcbFailure(XcbFailure::Kind::xError, XCB_WINDOW);
    ClientPlacement now = placementFrom(std::move(pendingPlacement), deadline);
    std::vector<xcb_atom_t> current = atomsFrom(std::move(pendingStates), deadline);
    const Atoms& a = atoms();
    bool left = false;
    if (contains(current, a.netWmStateMaximizedVert) || contains(current, a.netWmStateMaximizedHorz)) {
        sendToRoot(window, a.netWmState,
                   {stateRemove, a.netWmStateMaximizedVert, a.netWmStateMaximizedHorz, sourcePager, 0});
        left = true;
    }
    if (contains(current, a.netWmStateFullscreen)) {
        sendToRoot(window, a.netWmState, {stateRemove, a.netWmStateFullscreen, 0, sourcePager, 0});
        left = true;
    }
    // Leaving those states changes the geometry and may change the decorations.
    if (left) {
        unsettled_.reset();
        if (!waitForWindowManager(window, deadline))
            throw XcbFailure(XcbFailure::Kind::xError, XCB_WINDOW);
        now = placement(window, deadline);
    }

    const PixelRect currentFrame = visibleFrame(now);
    PixelRect target = currentFrame;
    if (position) {
        target.x = position->x;
        target.y = position->y;
    }
    if (size) {
        target.width = size->width;
        target.height = size->height;
    }
    // A write that changes nothing needs no answer from the window manager. With a move still on
    // its way the frame read may be out of date, and the write goes out whatever it looks like.
    if (target == currentFrame && !unsettled_)
        return;
    std::uint32_t flags = gravityNorthWest | (sourcePager << 12);
    if (position)
        flags |= (1U << 8) | (1U << 9);
    if (size)
        flags |= (1U << 10) | (1U << 11);
    const auto send = [&](const ClientPlacement& from) {
        const MoveResizeRequest request = requestFor(target, from);
        sendToRoot(window, a.netMoveresizeWindow,
                   {flags, static_cast<std::uint32_t>(request.position.x),
                    static_cast<std::uint32_t>(request.position.y),
                    static_cast<std::uint32_t>(std::max(request.size.width, 1)),
                    static_cast<std::uint32_t>(std::max(request.size.height, 1))});
        xcb_flush(connection_.raw());
        unsettled_ = window;
    };
    send(now);
    // icewm puts the decorations back on a window that left fullscreen only when it is next moved,
    // so the request was reckoned without them: once applied, it goes again with the new ones.
    if (left) {
        settle(deadline);
        const ClientPlacement after = placement(window, deadline);
        if (after.decoration != now.decoration)
            send(after);
    }
}

} // namespace platform::x11
