#pragma once
// What the hot-key service needs of the platform: bind and unbind each fixed shortcut, and hear
// its presses.

#include <functional>

#include "tidewright/core/FixedShortcut.hpp"

namespace tidewright {

// REQUIRES: used on the main thread; onShortcut is called there.
class FixedHotkeyRegistering {
public:
    virtual ~FixedHotkeyRegistering() = default;

    // True when the shortcut is registered afterwards (also when it already was).
    virtual bool registerShortcut(FixedShortcut shortcut) = 0;
    // Does nothing for a shortcut that is not registered.
    virtual void unregisterShortcut(FixedShortcut shortcut) = 0;
    virtual void unregisterAll() = 0;

    // A press of one of its registered shortcuts.
    std::function<void(FixedShortcut)> onShortcut;
};

} // namespace tidewright
