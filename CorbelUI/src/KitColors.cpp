#include "corbel/ui/KitColors.hpp"

#include <cstddef>

namespace corbel {
namespace {

struct Rgba {
    int red;
    int green;
    int blue;
    double alpha;
};

// One row per colour: light, dark, then the same with increased contrast. Increased contrast makes
// text and separators more opaque and the signal colours deeper in light, brighter in dark.
struct Row {
    Rgba light;
    Rgba dark;
    Rgba lightContrast;
    Rgba darkContrast;
};

constexpr std::array<Row, allSystemColors.size()> table{{
    // label
    {{0, 0, 0, 0.85}, {255, 255, 255, 0.85}, {0, 0, 0, 1}, {255, 255, 255, 1}},
    // secondaryLabel
    {{0, 0, 0, 0.5}, {255, 255, 255, 0.55}, {0, 0, 0, 0.7}, {255, 255, 255, 0.75}},
    // quaternaryFill
    {{0, 0, 0, 0.1}, {255, 255, 255, 0.1}, {0, 0, 0, 0.18}, {255, 255, 255, 0.2}},
    // separator
    {{0, 0, 0, 0.1}, {255, 255, 255, 0.1}, {0, 0, 0, 0.3}, {255, 255, 255, 0.35}},
    // windowBackground
    {{236, 236, 236, 1}, {38, 38, 38, 1}, {236, 236, 236, 1}, {38, 38, 38, 1}},
    // orange
    {{255, 148, 0, 1}, {255, 160, 12, 1}, {196, 86, 0, 1}, {255, 178, 64, 1}},
    // red
    {{255, 58, 48, 1}, {255, 70, 60, 1}, {212, 0, 22, 1}, {255, 106, 98, 1}},
    // green
    {{40, 200, 64, 1}, {48, 210, 76, 1}, {0, 134, 48, 1}, {60, 224, 96, 1}},
    // accent
    {{0, 118, 250, 1}, {12, 130, 255, 1}, {0, 66, 214, 1}, {66, 156, 255, 1}},
    // glass
    {{255, 255, 255, 0.55}, {58, 58, 58, 0.55}, {255, 255, 255, 0.8}, {58, 58, 58, 0.8}},
    // barMaterial
    {{246, 246, 246, 0.92}, {44, 44, 44, 0.92}, {246, 246, 246, 1}, {44, 44, 44, 1}},
}};

} // namespace

QColor systemColor(SystemColor color, ColorScheme scheme, bool increasedContrast) {
    const Row& row = table[static_cast<std::size_t>(color)];
    const bool dark = scheme == ColorScheme::dark;
    const Rgba& value =
        increasedContrast ? (dark ? row.darkContrast : row.lightContrast) : (dark ? row.dark : row.light);
    QColor result(value.red, value.green, value.blue);
    result.setAlphaF(static_cast<float>(value.alpha));
    return result;
}

} // namespace corbel
