#pragma once
// A colour as three sRGB components from 0 to 1, for the kit's colour arithmetic.

namespace corbel {

struct ColorTriple {
    double red;
    double green;
    double blue;

    bool operator==(const ColorTriple&) const = default;
};

} // namespace corbel
