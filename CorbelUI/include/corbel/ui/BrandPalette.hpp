#pragma once
// The fixed colours every kit view shares: the privacy green and the palette built on the primary
// label colour and the system orange.

#include "corbel/ui/ColorScheme.hpp"
#include "corbel/ui/ColorTriple.hpp"

#include <QColor>

namespace corbel {

struct PrivacyGreen {
    PrivacyGreen() = delete;

    static constexpr ColorTriple light{0.09, 0.44, 0.18};
    static constexpr ColorTriple dark{0.19, 0.82, 0.35};

    static QColor color(ColorScheme scheme);
};

// Each colour depends on the scheme, and on increased contrast through the label colour.
struct BrandPalette {
    BrandPalette() = delete;

    // The system orange in the dark scheme, a darker orange-brown in the light one.
    static QColor warning(ColorScheme scheme, bool increasedContrast = false);
    static QColor support(ColorScheme scheme, bool increasedContrast = false);   // label at 0.7
    static QColor card(ColorScheme scheme, bool increasedContrast = false);      // label at 0.06
    static QColor focusRing(ColorScheme scheme, bool increasedContrast = false); // label at 0.55
    static QColor emphasis(ColorScheme scheme, bool increasedContrast = false);  // label at 0.16
};

} // namespace corbel
