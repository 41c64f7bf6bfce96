#pragma once
// Small helpers the kit's view tests share.

#include "corbel/ui/ColorScheme.hpp"
#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/testing/Descendants.hpp"
#include "corbel/ui/testing/GoldenImages.hpp"

#include <QWidget>

#include <ostream>
#include <vector>

namespace corbel {

inline void PrintTo(ColorScheme scheme, std::ostream* out) {
    *out << (scheme == ColorScheme::dark ? "dark" : "light");
}

inline const char* schemeName(ColorScheme scheme) {
    return scheme == ColorScheme::dark ? "dark" : "light";
}

inline testing::GoldenImages kitGoldens() {
    return {QStringLiteral(CORBEL_GOLDEN_FOLDER), QStringLiteral(CORBEL_GOLDEN_FAILURE_FOLDER)};
}

// A host in the kit's palette for the scheme, painted with the window background.
inline void paintAsWindow(QWidget& host, ColorScheme scheme) {
    host.setPalette(kitPalette(scheme, false, systemColor(SystemColor::accent, scheme)));
    host.setAutoFillBackground(true);
}

using testing::descendantsOf;

} // namespace corbel
