#pragma once
// How the window operations and the kit's windows learn the screens: one call, read afresh each
// time, so a screen added, removed or rearranged since the last read is seen by the next one.

#include "tidewright/core/Geometry.hpp"

#include <vector>

namespace platform {

class ScreenReading {
public:
    virtual ~ScreenReading() = default;

    // REQUIRES: the main thread. Returns one ScreenGeometry per screen in desktop coordinates, the
    // primary screen first, then the others in the platform's order; none is dropped, merged or
    // reordered, and repeated ids are left for the screen selection to refuse. An empty list is a
    // valid answer when the screens vanish mid-read. Throws GeometryError (noScreens when there is no
    // screen or one has no usable number; the geometry refusals for a bad rectangle), never a partial
    // list.
    virtual std::vector<tidewright::ScreenGeometry> screens() const = 0;
};

} // namespace platform
