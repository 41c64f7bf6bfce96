#pragma once
// An in-memory hot-key backend for tests: it records every call, refuses what a test tells it to,
// and delivers presses to the installed handlers when the test asks.

#include "platform/hotkeys/HotkeyBackend.hpp"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace platform {

class FakeHotkeyBackend final : public HotkeyBackend {
public:
    struct Call {
        enum class Kind {
            installEventHandler,
            removeEventHandler,
            registerEventHotKey,
            unregisterEventHotKey
        };
        Kind kind;
        std::uint32_t keyCode = 0;   // registerEventHotKey
        std::uint32_t modifiers = 0; // registerEventHotKey
        EventHotKeyID id{};          // registerEventHotKey, and unregisterEventHotKey of a known key
        bool operator==(const Call&) const = default;
    };
    struct HotKey {
        std::uint32_t keyCode;
        std::uint32_t modifiers;
        EventHotKeyID id;
        bool operator==(const HotKey&) const = default;
    };

    HotkeyStatus installEventHandler(HotkeyEventHandler handler, void* userData,
                                     EventHandlerRef& reference) override;
    HotkeyStatus removeEventHandler(EventHandlerRef reference) override;
    HotkeyStatus registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers, EventHotKeyID id,
                                     EventHotKeyRef& reference) override;
    HotkeyStatus unregisterEventHotKey(EventHotKeyRef reference) override;
    HotkeyStatus hotKeyID(const HotkeyEvent* event, EventHotKeyID& id) const override;

    // Registrations of this key code answer status until allowed again.
    void refuse(std::uint32_t keyCode, HotkeyStatus status = eventHotKeyExistsErr) {
        refused_[keyCode] = status;
    }
    void allow(std::uint32_t keyCode) { refused_.erase(keyCode); }
    // The next installation answers status.
    void failNextInstall(HotkeyStatus status) { failNextInstall_ = status; }
    // A registration that answers noErr without handing out a reference.
    void withholdReferences(bool withhold) { withholdReferences_ = withhold; }

    // Delivers a press to the handlers as the platform would and answers the last handler's status
    // (eventNotHandledErr when none handled it). nullopt: an event whose identifier cannot be read.
    HotkeyStatus press(std::optional<EventHotKeyID> id);
    // Delivers no event at all.
    HotkeyStatus pressWithoutEvent();

    const std::vector<Call>& calls() const { return calls_; }
    void clearCalls() { calls_.clear(); }
    std::size_t handlerCount() const { return handlers_.size(); }
    // Registered hot keys in the order they were registered.
    std::vector<HotKey> hotKeys() const;

private:
    struct Handler {
        EventHandlerRef reference;
        HotkeyEventHandler handler;
        void* userData;
    };
    HotkeyStatus deliver(const HotkeyEvent* event);

    std::vector<Call> calls_;
    std::vector<Handler> handlers_;
    std::map<EventHotKeyRef, HotKey> hotKeys_;
    std::map<std::uint32_t, HotkeyStatus> refused_;
    std::optional<HotkeyStatus> failNextInstall_;
    bool withholdReferences_ = false;
    std::uint64_t nextReference_ = 1;
};

} // namespace platform
