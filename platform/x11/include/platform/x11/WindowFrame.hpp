#pragma once
// The one frame function: where a window's visible outer frame lies in desktop coordinates, and
// the window-manager request that puts that frame at a given place. Every stand-in that reports
// or moves window frames goes through these two functions, so a frame written is the frame read.

#include <cstdint>

namespace platform::x11 {

struct PixelPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

struct PixelSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

struct PixelRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// Widths of the four sides of a frame: _NET_FRAME_EXTENTS (decorations the window manager adds)
// or _GTK_FRAME_EXTENTS (shadow a client draws inside its own window).
struct Extents {
    std::int32_t left = 0;
    std::int32_t right = 0;
    std::int32_t top = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const Extents&, const Extents&) = default;
};

// What the X server and the window manager say about one client window.
struct ClientPlacement {
    PixelPoint rootOrigin; // the client's inside top-left corner in root coordinates
    PixelSize size;        // the client's inside size
    std::int32_t border = 0;
    Extents decoration;       // _NET_FRAME_EXTENTS
    Extents clientShadow;     // _GTK_FRAME_EXTENTS
    PixelPoint desktopOrigin; // root position of the first screen's top-left corner
};

// The visible outer frame in desktop coordinates: the client grown by its border and the
// decorations, shrunk by the invisible shadow, shifted to the desktop origin. Extents that no frame
// could have (a side negative or wider than the screen can be, a shadow covering the whole client)
// count as absent, in both functions alike.
PixelRect visibleFrame(const ClientPlacement& placement);

// The position and client size to request with north-west gravity so that the visible frame
// becomes `target`, for a window whose border and extents are those of `placement`.
struct MoveResizeRequest {
    PixelPoint position; // the outer top-left corner of the window manager's frame, in root
    PixelSize size;      // the client's inside size
    friend bool operator==(const MoveResizeRequest&, const MoveResizeRequest&) = default;
};
MoveResizeRequest requestFor(const PixelRect& target, const ClientPlacement& placement);

} // namespace platform::x11
