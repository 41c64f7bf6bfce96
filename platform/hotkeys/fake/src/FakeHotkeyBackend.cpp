#include "platform/hotkeys/FakeHotkeyBackend.hpp"

#include <utility>

namespace platform {

namespace {

class FakeEvent final : public HotkeyEvent {
public:
    explicit FakeEvent(std::optional<EventHotKeyID> id) : id(id) {}
    std::optional<EventHotKeyID> id;
};

} // namespace

HotkeyStatus FakeHotkeyBackend::installEventHandler(HotkeyEventHandler handler, void* userData,
                                                    EventHandlerRef& reference) {
    calls_.push_back({Call::Kind::installEventHandler});
    if (handler == nullptr) {
        return paramErr;
    }
    if (failNextInstall_) {
        return *std::exchange(failNextInstall_, std::nullopt);
    }
    reference = nextReference_++;
    handlers_.push_back({reference, handler, userData});
    return noErr;
}

HotkeyStatus FakeHotkeyBackend::removeEventHandler(EventHandlerRef reference) {
    calls_.push_back({Call::Kind::removeEventHandler});
    for (auto it = handlers_.begin(); it != handlers_.end(); ++it) {
        if (it->reference == reference) {
            handlers_.erase(it);
            return noErr;
        }
    }
    return paramErr;
}

HotkeyStatus FakeHotkeyBackend::registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                                    EventHotKeyID id, EventHotKeyRef& reference) {
    calls_.push_back({Call::Kind::registerEventHotKey, keyCode, modifiers, id});
    if (auto refusal = refused_.find(keyCode); refusal != refused_.end()) {
        return refusal->second;
    }
    const EventHotKeyRef made = nextReference_++;
    hotKeys_.emplace(made, HotKey{keyCode, modifiers, id});
    if (!withholdReferences_) {
        reference = made;
    }
    return noErr;
}

HotkeyStatus FakeHotkeyBackend::unregisterEventHotKey(EventHotKeyRef reference) {
    auto found = hotKeys_.find(reference);
    calls_.push_back({Call::Kind::unregisterEventHotKey, 0, 0,
                      found == hotKeys_.end() ? EventHotKeyID{} : found->second.id});
    if (found == hotKeys_.end()) {
        return paramErr;
    }
    hotKeys_.erase(found);
    return noErr;
}

HotkeyStatus FakeHotkeyBackend::hotKeyID(const HotkeyEvent* event, EventHotKeyID& id) const {
    if (event == nullptr) {
        return paramErr;
    }
    const auto* fake = dynamic_cast<const FakeEvent*>(event);
    if (fake == nullptr || !fake->id) {
        return eventParameterNotFoundErr;
    }
    id = *fake->id;
    return noErr;
}

HotkeyStatus FakeHotkeyBackend::press(std::optional<EventHotKeyID> id) {
    const FakeEvent event(id);
    return deliver(&event);
}

HotkeyStatus FakeHotkeyBackend::pressWithoutEvent() {
    return deliver(nullptr);
}

HotkeyStatus FakeHotkeyBackend::deliver(const HotkeyEvent* event) {
    // A handler may remove handlers while it runs, so walk a copy, newest first.
    const std::vector<Handler> handlers = handlers_;
    for (auto it = handlers.rbegin(); it != handlers.rend(); ++it) {
        const HotkeyStatus status = it->handler(event, it->userData);
        if (status != eventNotHandledErr) {
            return status;
        }
    }
    return eventNotHandledErr;
}

std::vector<FakeHotkeyBackend::HotKey> FakeHotkeyBackend::hotKeys() const {
    std::vector<HotKey> keys;
    for (const auto& [reference, key] : hotKeys_) {
        keys.push_back(key);
    }
    return keys;
}

} // namespace platform
