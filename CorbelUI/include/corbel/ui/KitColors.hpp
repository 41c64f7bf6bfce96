#pragma once
// The platform colours that the views name without giving their values (label, separator, the
// system orange...), one table for light and dark. Increased contrast changes only these colours,
// never the brand's own.

#include "corbel/ui/ColorScheme.hpp"

#include <QColor>

#include <array>

namespace corbel {

enum class SystemColor {
    label,          // primary text and symbols
    secondaryLabel, // secondary text
    quaternaryFill, // the faint fill behind key caps
    separator,
    windowBackground,
    orange,
    red,
    green,
    accent,      // the default accent where a view gives no tint
    glass,       // glass cards and buttons: a flat fill, no blur
    barMaterial, // the band under a scrolled title: a flat fill, no blur
};

inline constexpr std::array<SystemColor, 11> allSystemColors{
    SystemColor::label,
    SystemColor::secondaryLabel,
    SystemColor::quaternaryFill,
    SystemColor::separator,
    SystemColor::windowBackground,
    SystemColor::orange,
    SystemColor::red,
    SystemColor::green,
    SystemColor::accent,
    SystemColor::glass,
    SystemColor::barMaterial,
};

// The colour as sRGB with its own opacity.
QColor systemColor(SystemColor color, ColorScheme scheme, bool increasedContrast = false);

} // namespace corbel
