#pragma once
// The screens of an X display: its RandR monitors, the primary one first and then the others in
// the server's order, each numbered by its name atom. Without RandR monitors the root window is the
// one screen, numbered by its window id.
//
// Frames are shifted so that the first screen's top-left corner is the desktop origin, then given
// in the bottom-left convention with the first screen's top edge at its height, so that flipping
// them back with that top edge gives the exact desktop rectangles.
//
// A monitor's visible frame is the monitor minus the struts that lie along it, from the windows
// in _NET_CLIENT_LIST that are viewable (mapped on the current desktop, not minimized). Each
// window's _NET_WM_STRUT_PARTIAL counts when it holds twelve CARDINALs, else its _NET_WM_STRUT
// when that holds four (reaching along the whole edge).
//
// Some window managers draw panels of their own (fluxbox's toolbar, icewm's taskbar) that reserve
// their space only through the root's _NET_WORKAREA. That is one rectangle for all monitors, so a
// panel on one would shrink the others: where the current desktop's work area leaves less of a
// monitor than its struts, the strip between the two counts only when a viewable override-redirect
// window (the window manager's panel) shows on the monitor within that strip.
//
// Struts are measured from the root window's edges. A side's strut lies along a monitor when its
// width is above 0, its inner edge falls strictly inside the monitor (across it, not before it and
// not on or past its far edge), and its start-to-end range (both ends included) shares a row or
// column with the monitor. Such a strut moves that side of the visible frame to its inner edge;
// the widest one wins. When the struts of two opposite sides leave nothing between them, that
// direction keeps the monitor's whole extent. So a visible frame always lies inside its monitor
// and is never empty, whatever the windows claim.

#include "platform/screens/Screens.hpp"

#include <chrono>
#include <memory>
#include <string>

namespace platform {

namespace x11 {
class XcbConnection;
}

// Not safe for concurrent use: the main thread calls it.
class X11ScreenSource final : public ScreenSource {
public:
    // display: the X display to use; empty for $DISPLAY. Connects on first use, and again after a
    // broken connection. Each reading waits at most `timeout` for the server.
    explicit X11ScreenSource(std::string display = {},
                             std::chrono::milliseconds timeout = std::chrono::milliseconds(500));
    ~X11ScreenSource() override;

    // One snapshot: the monitors, the root's size, the client list and the work area asked for
    // together, then every client's struts and map state together, and the panels only when the
    // work area reserves more than the struts. Empty when the server cannot be reached or does
    // not answer in time.
    std::vector<Screen> screens() override;

private:
    std::string display_;
    std::chrono::milliseconds timeout_;
    std::unique_ptr<x11::XcbConnection> connection_;
};

} // namespace platform
