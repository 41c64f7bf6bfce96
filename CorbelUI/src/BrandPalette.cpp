#include "corbel/ui/BrandPalette.hpp"

#include "corbel/ui/KitColors.hpp"

namespace corbel {
namespace {

QColor labelAt(double opacity, ColorScheme scheme, bool increasedContrast) {
    QColor color = systemColor(SystemColor::label, scheme, increasedContrast);
    color.setAlphaF(static_cast<float>(color.alphaF() * opacity));
    return color;
}

QColor fromTriple(ColorTriple triple) {
    return QColor::fromRgbF(static_cast<float>(triple.red), static_cast<float>(triple.green),
                            static_cast<float>(triple.blue));
}

} // namespace

QColor PrivacyGreen::color(ColorScheme scheme) {
    return fromTriple(scheme == ColorScheme::dark ? dark : light);
}

QColor BrandPalette::warning(ColorScheme scheme, bool increasedContrast) {
    if (scheme == ColorScheme::dark) {
        return systemColor(SystemColor::orange, scheme, increasedContrast);
    }
    return QColor(184, 80, 0);
}

QColor BrandPalette::support(ColorScheme scheme, bool increasedContrast) {
    return labelAt(0.7, scheme, increasedContrast);
}

QColor BrandPalette::card(ColorScheme scheme, bool increasedContrast) {
    return labelAt(0.06, scheme, increasedContrast);
}

QColor BrandPalette::focusRing(ColorScheme scheme, bool increasedContrast) {
    return labelAt(0.55, scheme, increasedContrast);
}

QColor BrandPalette::emphasis(ColorScheme scheme, bool increasedContrast) {
    return labelAt(0.16, scheme, increasedContrast);
}

} // namespace corbel
