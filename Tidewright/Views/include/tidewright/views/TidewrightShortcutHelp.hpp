#pragma once
// The order in which views list shortcuts.

#include "tidewright/core/AppPolicy.hpp"
#include "tidewright/core/FixedShortcut.hpp"

#include <vector>

namespace tidewright {

// The shortcuts of the set in the hot keys' own order (left, right, up, d, down, c); the set's
// iteration order plays no part. Main thread.
std::vector<FixedShortcut> shortcutHelp(const ShortcutSet& shortcuts);

} // namespace tidewright
