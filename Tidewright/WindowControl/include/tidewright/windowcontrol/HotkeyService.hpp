#pragma once
// Keeps the fixed hot keys that the app model wants registered, withholds all of them while a
// screen reader runs, and forwards a press only for a hot key it has registered.

#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>

#include "tidewright/core/AppPolicy.hpp"
#include "tidewright/core/FixedShortcut.hpp"
#include "tidewright/windowcontrol/FixedHotkeyRegistering.hpp"
#include "tidewright/windowcontrol/HotkeyServiceDriving.hpp"
#include "tidewright/windowcontrol/VoiceOverReading.hpp"

namespace tidewright {

// REQUIRES: used on the main thread only.
class HotkeyService final : public HotkeyServiceDriving, public std::enable_shared_from_this<HotkeyService> {
public:
    // Takes over both hooks: the source's onChange and the registrar's onShortcut, each holding the
    // service weakly. REQUIRES: registrar and voiceOver are set.
    static std::shared_ptr<HotkeyService> make(std::shared_ptr<FixedHotkeyRegistering> registrar,
                                               std::shared_ptr<VoiceOverReading> voiceOver);
    HotkeyService(const HotkeyService&) = delete;
    HotkeyService& operator=(const HotkeyService&) = delete;

    // Registers what is newly desired and withdraws what no longer is. A shortcut that already has
    // a state keeps it, so a refused one stays unavailable until the states are cleared (a screen
    // reader change, or stop()).
    void apply(const std::unordered_set<FixedShortcut>& desired) override;
    // Withdraws everything and stops following the screen reader; a later apply starts again.
    void stop() override;

    // One entry per desired shortcut: registered or unavailable (never pending).
    const Registrations& registrations() const override { return registrations_; }
    // The hooks are the driving interface's: onShortcut for a press of a registered hot key,
    // onChange when the registrations changed because the screen reader came or went.

private:
    struct Token {};

public:
    HotkeyService(Token, std::shared_ptr<FixedHotkeyRegistering> registrar,
                  std::shared_ptr<VoiceOverReading> voiceOver);

private:
    void voiceOverChanged();
    void pressed(FixedShortcut shortcut);

    std::shared_ptr<FixedHotkeyRegistering> registrar_;
    std::shared_ptr<VoiceOverReading> voiceOver_;
    std::unordered_set<FixedShortcut> desired_;
    bool observing_ = false;
    bool assistiveNavigation_ = false;
    Registrations registrations_;
};

} // namespace tidewright
