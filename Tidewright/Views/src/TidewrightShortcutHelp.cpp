#include "tidewright/views/TidewrightShortcutHelp.hpp"

namespace tidewright {

std::vector<FixedShortcut> shortcutHelp(const ShortcutSet& shortcuts) {
    std::vector<FixedShortcut> ordered;
    for (FixedShortcut shortcut : allFixedShortcuts) {
        if (shortcuts.contains(shortcut)) {
            ordered.push_back(shortcut);
        }
    }
    return ordered;
}

} // namespace tidewright
