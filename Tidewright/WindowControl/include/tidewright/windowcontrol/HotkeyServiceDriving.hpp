#pragma once
// The global hot keys as the app model drives them: the registrations that follow the desired set,
// and the hooks for a press and for a change the service made by itself.

#include <functional>
#include <unordered_map>
#include <unordered_set>

#include "tidewright/core/AppPolicy.hpp"
#include "tidewright/core/FixedShortcut.hpp"

namespace tidewright {

// Main thread only; the hooks are called on the main thread.
class HotkeyServiceDriving {
public:
    using Registrations = std::unordered_map<FixedShortcut, ShortcutRegistration>;

    virtual ~HotkeyServiceDriving() = default;
    // One entry per desired shortcut: registered or unavailable (never pending).
    virtual const Registrations& registrations() const = 0;
    // Registers or withdraws hot keys so that registrations follow desired. Synchronous.
    virtual void apply(const std::unordered_set<FixedShortcut>& desired) = 0;
    // Withdraws every hot key and forgets the desired set.
    virtual void stop() = 0;

    // A press of a registered hot key.
    std::function<void(FixedShortcut)> onShortcut;
    // The registrations changed by themselves (a screen reader came or went).
    std::function<void()> onChange;
};

} // namespace tidewright
