#pragma once
// The application every kit test runs in: the offscreen platform, the Fusion style, the kit's fonts,
// palette and body font, and the C locale, so that renders are the same on every machine.

#include "corbel/ui/ColorScheme.hpp"

namespace corbel::testing {

// REQUIRES a QApplication; main thread.
void applyKitAppearance(ColorScheme scheme);

} // namespace corbel::testing
