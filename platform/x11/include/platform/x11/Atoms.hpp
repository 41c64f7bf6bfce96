#pragma once
// The atoms the X11 stand-ins use, interned once per connection (XcbConnection::open).

#ifndef TIDEWRIGHT_XCB_LAYER
#error "xcb stays inside platform/: link PlatformX11 from a platform target, or use its xcb-free headers"
#endif

#include <xcb/xcb.h>

#include <array>

namespace platform::x11 {

// The atoms the stand-ins use, interned once per connection. The order of the names below is the
// order of the members.
struct Atoms {
    xcb_atom_t netSupported, netSupportingWmCheck, netClientList, netClientListStacking, netActiveWindow,
        netWmPid, netWmState, netWmStateMaximizedVert, netWmStateMaximizedHorz, netWmStateFullscreen,
        netWmStateHidden, netWmStateModal, netWmWindowType, netWmWindowTypeNormal, netWmWindowTypeDialog,
        netWmWindowTypeUtility, netWmAllowedActions, netWmActionResize, netWmActionMove, netFrameExtents,
        netRequestFrameExtents, netMoveresizeWindow, gtkFrameExtents, wmState, wmChangeState, wmTransientFor,
        wmNormalHints, wmName, netWmName, utf8String, netWorkarea, netCurrentDesktop, netWmStrut,
        netWmStrutPartial, wmClientMachine;
    // The other window types of the standard, each of which makes a window neither normal, dialog
    // nor utility when it comes first.
    xcb_atom_t netWmWindowTypeOthers[11];
};
inline constexpr std::array atomNames{"_NET_SUPPORTED",
                                      "_NET_SUPPORTING_WM_CHECK",
                                      "_NET_CLIENT_LIST",
                                      "_NET_CLIENT_LIST_STACKING",
                                      "_NET_ACTIVE_WINDOW",
                                      "_NET_WM_PID",
                                      "_NET_WM_STATE",
                                      "_NET_WM_STATE_MAXIMIZED_VERT",
                                      "_NET_WM_STATE_MAXIMIZED_HORZ",
                                      "_NET_WM_STATE_FULLSCREEN",
                                      "_NET_WM_STATE_HIDDEN",
                                      "_NET_WM_STATE_MODAL",
                                      "_NET_WM_WINDOW_TYPE",
                                      "_NET_WM_WINDOW_TYPE_NORMAL",
                                      "_NET_WM_WINDOW_TYPE_DIALOG",
                                      "_NET_WM_WINDOW_TYPE_UTILITY",
                                      "_NET_WM_ALLOWED_ACTIONS",
                                      "_NET_WM_ACTION_RESIZE",
                                      "_NET_WM_ACTION_MOVE",
                                      "_NET_FRAME_EXTENTS",
                                      "_NET_REQUEST_FRAME_EXTENTS",
                                      "_NET_MOVERESIZE_WINDOW",
                                      "_GTK_FRAME_EXTENTS",
                                      "WM_STATE",
                                      "WM_CHANGE_STATE",
                                      "WM_TRANSIENT_FOR",
                                      "WM_NORMAL_HINTS",
                                      "WM_NAME",
                                      "_NET_WM_NAME",
                                      "UTF8_STRING",
                                      "_NET_WORKAREA",
                                      "_NET_CURRENT_DESKTOP",
                                      "_NET_WM_STRUT",
                                      "_NET_WM_STRUT_PARTIAL",
                                      "WM_CLIENT_MACHINE",
                                      "_NET_WM_WINDOW_TYPE_DESKTOP",
                                      "_NET_WM_WINDOW_TYPE_DOCK",
                                      "_NET_WM_WINDOW_TYPE_TOOLBAR",
                                      "_NET_WM_WINDOW_TYPE_MENU",
                                      "_NET_WM_WINDOW_TYPE_SPLASH",
                                      "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU",
                                      "_NET_WM_WINDOW_TYPE_POPUP_MENU",
                                      "_NET_WM_WINDOW_TYPE_TOOLTIP",
                                      "_NET_WM_WINDOW_TYPE_NOTIFICATION",
                                      "_NET_WM_WINDOW_TYPE_COMBO",
                                      "_NET_WM_WINDOW_TYPE_DND"};
static_assert(sizeof(Atoms) == atomNames.size() * sizeof(xcb_atom_t));

} // namespace platform::x11
