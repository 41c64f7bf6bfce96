#pragma once
// The application's one brand value, handed to every kit view.

#include "corbel/ui/CorbelBrand.hpp"

namespace tidewright {

// Made once on first use; safe to reach from any thread, read-only afterwards.
const corbel::CorbelBrand& tidewrightBrand();

} // namespace tidewright
