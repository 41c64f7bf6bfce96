#include "corbel/ui/testing/KitTestApplication.hpp"

#include "corbel/ui/CorbelFont.hpp"
#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/QtWorkarounds.hpp"

#include <QApplication>

namespace corbel::testing {

void applyKitAppearance(ColorScheme scheme) {
    QApplication::setPalette(kitPalette(scheme, false, systemColor(SystemColor::accent, scheme)));
    QApplication::setFont(roleFont(CorbelFont::support));
}

} // namespace corbel::testing
