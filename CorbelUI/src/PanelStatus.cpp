#include "corbel/ui/PanelStatus.hpp"

#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/KitColors.hpp"

namespace corbel {

QColor panelStatusColor(PanelStatus status, ColorScheme scheme, bool increasedContrast) {
    QColor color;
    switch (status) {
    case PanelStatus::working:
        color = PrivacyGreen::color(scheme);
        break;
    case PanelStatus::off:
        color = BrandPalette::support(scheme, increasedContrast);
        break;
    case PanelStatus::attention:
        color = BrandPalette::warning(scheme, increasedContrast);
        break;
    case PanelStatus::recording:
        color = systemColor(SystemColor::red, scheme, increasedContrast);
        break;
    }
    color.setAlphaF(1);
    return color;
}

} // namespace corbel
