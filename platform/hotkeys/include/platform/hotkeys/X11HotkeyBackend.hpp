#pragma once
// System-wide hot keys on X11: each hot key is a passive key grab on the root window, over its own
// xcb connection, with presses delivered on the main thread.

#include <functional>
#include <memory>
#include <string>

#include "platform/concurrency/Executor.hpp"
#include "platform/hotkeys/HotkeyBackend.hpp"

namespace platform {

// Key codes are the platform's virtual key codes of the table in HotkeyBackend.hpp, each bound to
// every X keycode that produces its keysym in the current keymap (so letters follow the user's
// layout). controlKey is Control, optionKey whichever modifier holds Alt or Meta, shiftKey Shift,
// cmdKey whichever holds Super. A hot key is grabbed with and without Caps Lock and Num Lock; a
// held key gives one press (auto-repeat is dropped); a keymap change grabs every hot key again.
// REQUIRES: a QCoreApplication exists; constructed, used and destroyed on its thread, whose
// executor is mainExecutor (which outlives the backend).
class X11HotkeyBackend final : public HotkeyBackend {
public:
    // Connects to display (empty: $DISPLAY). THROWS std::runtime_error when no X server answers
    // in time.
    X11HotkeyBackend(const std::string& display, Executor& mainExecutor);
    ~X11HotkeyBackend() override;
    X11HotkeyBackend(const X11HotkeyBackend&) = delete;
    X11HotkeyBackend& operator=(const X11HotkeyBackend&) = delete;

    HotkeyStatus installEventHandler(HotkeyEventHandler handler, void* userData,
                                     EventHandlerRef& reference) override;
    HotkeyStatus removeEventHandler(EventHandlerRef reference) override;
    HotkeyStatus registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers, EventHotKeyID id,
                                     EventHotKeyRef& reference) override;
    HotkeyStatus unregisterEventHotKey(EventHotKeyRef reference) override;
    HotkeyStatus hotKeyID(const HotkeyEvent* event, EventHotKeyID& id) const override;

    // Called after a keymap change, once every hot key is grabbed again (or found taken).
    void setOnKeymapChange(std::function<void()> hook);

    class State;

private:
    std::shared_ptr<State> state_;
};

} // namespace platform
