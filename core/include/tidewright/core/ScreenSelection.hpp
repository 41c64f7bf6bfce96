#pragma once
// The choice of the screen a window belongs to: the one its frame overlaps most, else the one
// nearest its centre; ties go to the lower screen id, whatever the order of the list.

#include "tidewright/core/Geometry.hpp"

#include <span>

namespace tidewright::ScreenSelection {

// Throws GeometryError: noScreens for an empty list; duplicateScreenID with the first repeated id
// (before any geometry is looked at); nonFinitePoints or unrepresentableGeometry when the window's
// centre or a distance leaves the representable range.
ScreenGeometry select(const DesktopFrame& window, std::span<const ScreenGeometry> screens);

} // namespace tidewright::ScreenSelection
