#include "tidewright/windowcontrol/CarbonHotkeyRegistrar.hpp"

#include <cstddef>

namespace tidewright {

CarbonHotkeyRegistrar::~CarbonHotkeyRegistrar() {
    unregisterAll();
}

bool CarbonHotkeyRegistrar::registerShortcut(FixedShortcut shortcut) {
    if (references_.contains(shortcut)) {
        return true;
    }
    if (!handler_) {
        platform::EventHandlerRef handler = 0;
        if (backend_.installEventHandler(&CarbonHotkeyRegistrar::handlePress, this, handler) !=
            platform::noErr) {
            return false;
        }
        handler_ = handler;
    }
    const auto position = static_cast<std::size_t>(shortcut);
    platform::EventHotKeyRef reference = 0;
    const platform::HotkeyStatus status = backend_.registerEventHotKey(
        fixedShortcutKeyCodes[position], fixedShortcutModifiers,
        {fixedShortcutSignature, static_cast<std::uint32_t>(position + 1)}, reference);
    if (status == platform::noErr && reference != 0) {
        references_.emplace(shortcut, reference);
        return true;
    }
    removeHandlerIfIdle();
    return false;
}

void CarbonHotkeyRegistrar::unregisterShortcut(FixedShortcut shortcut) {
    if (auto found = references_.find(shortcut); found != references_.end()) {
        const platform::EventHotKeyRef reference = found->second;
        references_.erase(found);
        backend_.unregisterEventHotKey(reference);
    }
    removeHandlerIfIdle();
}

void CarbonHotkeyRegistrar::unregisterAll() {
    for (const auto& [shortcut, reference] : references_) {
        backend_.unregisterEventHotKey(reference);
    }
    references_.clear();
    removeHandlerIfIdle();
}

void CarbonHotkeyRegistrar::removeHandlerIfIdle() {
    if (references_.empty() && handler_) {
        backend_.removeEventHandler(*handler_);
        handler_.reset();
    }
}

platform::HotkeyStatus CarbonHotkeyRegistrar::handlePress(const platform::HotkeyEvent* event,
                                                          void* userData) {
    if (event == nullptr || userData == nullptr) {
        return platform::eventNotHandledErr;
    }
    return static_cast<CarbonHotkeyRegistrar*>(userData)->pressed(event);
}

platform::HotkeyStatus CarbonHotkeyRegistrar::pressed(const platform::HotkeyEvent* event) {
    platform::EventHotKeyID id;
    if (backend_.hotKeyID(event, id) != platform::noErr || id.signature != fixedShortcutSignature) {
        return platform::eventNotHandledErr;
    }
    if (id.id == 0 || id.id > allFixedShortcuts.size()) {
        return platform::eventNotHandledErr;
    }
    const FixedShortcut shortcut = allFixedShortcuts[id.id - 1];
    if (!references_.contains(shortcut)) {
        return platform::eventNotHandledErr;
    }
    if (onShortcut) {
        onShortcut(shortcut);
    }
    return platform::noErr;
}

} // namespace tidewright
