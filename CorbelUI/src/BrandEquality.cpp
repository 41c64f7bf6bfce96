#include "corbel/ui/BrandEquality.hpp"

namespace corbel {

bool sameBrand(const CorbelBrand& a, const CorbelBrand& b) noexcept {
    return a.name() == b.name() && a.color() == b.color() && a.connection() == b.connection() &&
           a.darkAccent() == b.darkAccent() && a.lightAccent() == b.lightAccent();
}

} // namespace corbel
