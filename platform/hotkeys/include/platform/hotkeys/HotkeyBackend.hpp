#pragma once
// System-wide hot keys in the platform's own terms: a hot key is a virtual key code of the
// platform's keyboard, a modifier mask and an identifier (a four-character signature and a number);
// installed handlers receive its presses and read the identifier back from the event.

#include <cstdint>

namespace platform {

using HotkeyStatus = std::int32_t;
inline constexpr HotkeyStatus noErr = 0;
inline constexpr HotkeyStatus paramErr = -50;
inline constexpr HotkeyStatus eventParameterNotFoundErr = -9870;
inline constexpr HotkeyStatus eventNotHandledErr = -9874;
// Another program holds the same key and modifiers.
inline constexpr HotkeyStatus eventHotKeyExistsErr = -9878;
// The key code or the modifiers cannot be bound on this keyboard.
inline constexpr HotkeyStatus eventHotKeyInvalidErr = -9879;

// Modifier bits of a hot key.
inline constexpr std::uint32_t cmdKey = 0x0100;
inline constexpr std::uint32_t shiftKey = 0x0200;
inline constexpr std::uint32_t optionKey = 0x0800;
inline constexpr std::uint32_t controlKey = 0x1000;

// Virtual key codes of the keys the system binds.
inline constexpr std::uint32_t keyCodeD = 2;
inline constexpr std::uint32_t keyCodeC = 8;
inline constexpr std::uint32_t keyCodeLeftArrow = 123;
inline constexpr std::uint32_t keyCodeRightArrow = 124;
inline constexpr std::uint32_t keyCodeDownArrow = 125;
inline constexpr std::uint32_t keyCodeUpArrow = 126;

using FourCharCode = std::uint32_t;

// "TIDE" as the big-endian number the platform compares.
constexpr FourCharCode fourCharCode(const char (&text)[5]) noexcept {
    return (static_cast<FourCharCode>(static_cast<unsigned char>(text[0])) << 24) |
           (static_cast<FourCharCode>(static_cast<unsigned char>(text[1])) << 16) |
           (static_cast<FourCharCode>(static_cast<unsigned char>(text[2])) << 8) |
           static_cast<FourCharCode>(static_cast<unsigned char>(text[3]));
}

struct EventHotKeyID {
    FourCharCode signature = 0;
    std::uint32_t id = 0;

    bool operator==(const EventHotKeyID&) const = default;
};

// A press as a backend delivers it; only the backend that made it can read it.
class HotkeyEvent {
public:
    virtual ~HotkeyEvent() = default;
};

// Called for a press. Answers noErr when it handled the press, eventNotHandledErr to pass it on.
using HotkeyEventHandler = HotkeyStatus (*)(const HotkeyEvent* event, void* userData);

// References a backend hands out: never 0.
using EventHandlerRef = std::uint64_t;
using EventHotKeyRef = std::uint64_t;

// Contracts: every method is called on the main thread and never throws (bar std::bad_alloc);
// handlers run on the main thread on a later turn of its loop, never inside a method of this
// interface. Out-parameters are written only on success.
class HotkeyBackend {
public:
    virtual ~HotkeyBackend() = default;

    // Installs a handler for hot-key presses. Handlers run newest first until one answers other
    // than eventNotHandledErr. userData is handed back to the handler untouched.
    virtual HotkeyStatus installEventHandler(HotkeyEventHandler handler, void* userData,
                                             EventHandlerRef& reference) = 0;
    // paramErr for a reference that is not installed.
    virtual HotkeyStatus removeEventHandler(EventHandlerRef reference) = 0;

    // Binds keyCode with exactly these modifiers, whatever the state of the lock keys. Either the
    // whole binding holds or nothing of it does: eventHotKeyExistsErr when another program holds
    // the combination, eventHotKeyInvalidErr for a key code or modifier that cannot be bound.
    virtual HotkeyStatus registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers, EventHotKeyID id,
                                             EventHotKeyRef& reference) = 0;
    // paramErr for a reference that is not registered.
    virtual HotkeyStatus unregisterEventHotKey(EventHotKeyRef reference) = 0;

    // The identifier of the hot key that was pressed. paramErr for a null event,
    // eventParameterNotFoundErr for an event this backend did not make.
    virtual HotkeyStatus hotKeyID(const HotkeyEvent* event, EventHotKeyID& id) const = 0;
};

} // namespace platform
