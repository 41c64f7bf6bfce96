#pragma once
// Binds the six fixed shortcuts as system-wide hot keys on Control+Option with the signature
// "TIDE" and ids 1 to 6, and turns their presses back into shortcuts.

#include <array>
#include <cstdint>
#include <map>
#include <optional>

#include "platform/hotkeys/HotkeyBackend.hpp"
#include "tidewright/windowcontrol/FixedHotkeyRegistering.hpp"

namespace tidewright {

// The hot-key table, indexed by the shortcut's position in allFixedShortcuts; the id is the
// position + 1, so no hot key has id 0.
inline constexpr std::array<std::uint32_t, 6> fixedShortcutKeyCodes{
    platform::keyCodeLeftArrow, platform::keyCodeRightArrow, platform::keyCodeUpArrow,
    platform::keyCodeD,         platform::keyCodeDownArrow,  platform::keyCodeC,
};
inline constexpr std::uint32_t fixedShortcutModifiers = platform::controlKey | platform::optionKey;
inline constexpr platform::FourCharCode fixedShortcutSignature = platform::fourCharCode("TIDE");

// The platform's press handler is installed exactly while at least one hot key is registered.
// REQUIRES: used on the main thread; the backend outlives the registrar.
class CarbonHotkeyRegistrar final : public FixedHotkeyRegistering {
public:
    explicit CarbonHotkeyRegistrar(platform::HotkeyBackend& backend) : backend_(backend) {}
    ~CarbonHotkeyRegistrar() override;
    CarbonHotkeyRegistrar(const CarbonHotkeyRegistrar&) = delete;
    CarbonHotkeyRegistrar& operator=(const CarbonHotkeyRegistrar&) = delete;

    bool registerShortcut(FixedShortcut shortcut) override;
    void unregisterShortcut(FixedShortcut shortcut) override;
    void unregisterAll() override;

    // The platform's press callback: noErr for a press of one of this registrar's hot keys,
    // eventNotHandledErr for anything else, which the platform then offers to other handlers.
    static platform::HotkeyStatus handlePress(const platform::HotkeyEvent* event, void* userData);

private:
    platform::HotkeyStatus pressed(const platform::HotkeyEvent* event);
    void removeHandlerIfIdle();

    platform::HotkeyBackend& backend_;
    std::map<FixedShortcut, platform::EventHotKeyRef> references_;
    std::optional<platform::EventHandlerRef> handler_;
};

} // namespace tidewright
