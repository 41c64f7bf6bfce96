#pragma once
// Memberwise equality of brand descriptors, so that kit views holding a brand in their props can
// tell an equal update from a real one.

#include "corbel/ui/CorbelBrand.hpp"

namespace corbel {

bool sameBrand(const CorbelBrand& a, const CorbelBrand& b) noexcept;

} // namespace corbel
