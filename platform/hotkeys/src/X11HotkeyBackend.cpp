#include "platform/hotkeys/X11HotkeyBackend.hpp"

#include "platform/x11/XcbConnection.hpp"

#include "platform/concurrency/LoopDescriptor.hpp"

#include <QLoggingCategory>

#include <fcntl.h>

#include <xcb/xcb_keysyms.h>
// The keyboard extension's header names a field "explicit", which C++ reserves.
#define explicit xkbExplicit
#include <xcb/xkb.h>
#undef explicit

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

Q_LOGGING_CATEGORY(hotkeysLog, "app.corbelthane.tidewright.hotkeys")

namespace platform {

namespace {

using x11::Clock;
using x11::Deadline;

// A local X server answers in microseconds; these bound a stalled one.
constexpr std::chrono::seconds connectTimeout(5);
constexpr std::chrono::seconds requestTimeout(1);

// Keysyms of the X protocol's standard table.
constexpr xcb_keysym_t keysymLeft = 0xff51, keysymUp = 0xff52, keysymRight = 0xff53, keysymDown = 0xff54,
                       keysymC = 0x63, keysymD = 0x64, keysymNumLock = 0xff7f, keysymMetaL = 0xffe7,
                       keysymAltL = 0xffe9, keysymAltR = 0xffea, keysymSuperL = 0xffeb, keysymSuperR = 0xffec;

xcb_keysym_t keysymFor(std::uint32_t keyCode) {
    switch (keyCode) {
    case keyCodeLeftArrow:
        return keysymLeft;
    case keyCodeRightArrow:
        return keysymRight;
    case keyCodeUpArrow:
        return keysymUp;
    case keyCodeDownArrow:
        return keysymDown;
    case keyCodeD:
        return keysymD;
    case keyCodeC:
        return keysymC;
    default:
        return XCB_NO_SYMBOL;
    }
}

constexpr std::uint16_t modifierBits = XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_LOCK | XCB_MOD_MASK_CONTROL |
                                       XCB_MOD_MASK_1 | XCB_MOD_MASK_2 | XCB_MOD_MASK_3 | XCB_MOD_MASK_4 |
                                       XCB_MOD_MASK_5;

class X11HotkeyEvent final : public HotkeyEvent {
public:
    X11HotkeyEvent(const X11HotkeyBackend::State* owner, EventHotKeyID id) : owner(owner), id(id) {}
    const X11HotkeyBackend::State* owner;
    EventHotKeyID id;
};

} // namespace

class X11HotkeyBackend::State : public std::enable_shared_from_this<State> {
public:
    State(const std::string& display, Executor& executor) : executor_(executor) {
        const Deadline deadline = Clock::now() + connectTimeout;
        try {
            connection_ = x11::XcbConnection::open(display, deadline);
        } catch (const x11::XcbFailure&) {
            throw std::runtime_error("no X server answers on " + (display.empty() ? "$DISPLAY" : display));
        }
        xcb_connection_t* c = connection_->raw();
        symbols_ = xcb_key_symbols_alloc(c);
        xcb_prefetch_extension_data(c, &xcb_xkb_id);
        readKeymap(deadline);
        enableDetectableAutoRepeat(deadline);
    }

    ~State() {
        watcher_.reset();
        if (symbols_ != nullptr) {
            xcb_key_symbols_free(symbols_);
        }
    }

    // REQUIRES: owned by a shared_ptr (the drain jobs hold it weakly).
    void watch() {
        // The watcher closes the descriptor it watches, and xcb closes its own: it gets a duplicate.
        watcher_ = std::make_unique<LoopDescriptor>(
            ::fcntl(xcb_get_file_descriptor(connection_->raw()), F_DUPFD_CLOEXEC, 0), "fcntl",
            [this] { drain(); });
        scheduleDrain();
    }

    HotkeyStatus install(HotkeyEventHandler handler, void* userData, EventHandlerRef& reference) {
        if (handler == nullptr) {
            return paramErr;
        }
        reference = nextReference_++;
        handlers_.push_back({reference, handler, userData});
        return noErr;
    }

    HotkeyStatus remove(EventHandlerRef reference) {
        auto found = std::find_if(handlers_.begin(), handlers_.end(),
                                  [&](const Handler& handler) { return handler.reference == reference; });
        if (found == handlers_.end()) {
            return paramErr;
        }
        handlers_.erase(found);
        return noErr;
    }

    HotkeyStatus registerHotKey(std::uint32_t keyCode, std::uint32_t modifiers, EventHotKeyID id,
                                EventHotKeyRef& reference) {
        HotKey key{keyCode, modifiers, id, {}};
        if (keysymFor(keyCode) == XCB_NO_SYMBOL) {
            return eventHotKeyInvalidErr;
        }
        for (const auto& [other, registered] : hotKeys_) {
            if (registered.keyCode == keyCode && registered.modifiers == modifiers) {
                return eventHotKeyExistsErr;
            }
        }
        const HotkeyStatus status = grab(key);
        scheduleDrain();
        if (status != noErr) {
            qCDebug(hotkeysLog, "hot key %u+%u not grabbed (%d)", keyCode, modifiers,
                    static_cast<int>(status));
            return status;
        }
        qCDebug(hotkeysLog, "hot key %u+%u grabbed", keyCode, modifiers);
        reference = nextReference_++;
        hotKeys_.emplace(reference, std::move(key));
        return noErr;
    }

    HotkeyStatus unregisterHotKey(EventHotKeyRef reference) {
        auto found = hotKeys_.find(reference);
        if (found == hotKeys_.end()) {
            return paramErr;
        }
        ungrab(found->second);
        qCDebug(hotkeysLog, "hot key %u+%u released", found->second.keyCode, found->second.modifiers);
        hotKeys_.erase(found);
        xcb_flush(connection_->raw());
        return noErr;
    }

private:
    struct Handler {
        EventHandlerRef reference;
        HotkeyEventHandler handler;
        void* userData;
    };
    struct Grab {
        xcb_keycode_t keycode;
        std::uint16_t modifiers;
    };
    struct HotKey {
        std::uint32_t keyCode;
        std::uint32_t modifiers;
        EventHotKeyID id;
        std::vector<Grab> grabs; // what the server holds for this hot key now
    };

    // The X modifiers of a hot key's modifiers; nothing when one of them is on no key.
    std::optional<std::uint16_t> xModifiers(std::uint32_t modifiers) const {
        if ((modifiers & ~(controlKey | optionKey | shiftKey | cmdKey)) != 0) {
            return std::nullopt;
        }
        std::uint16_t mask = 0;
        const std::array<std::pair<std::uint32_t, std::uint16_t>, 4> table{{
            {controlKey, XCB_MOD_MASK_CONTROL},
            {shiftKey, XCB_MOD_MASK_SHIFT},
            {optionKey, altMask_},
            {cmdKey, superMask_},
        }};
        for (const auto& [bit, xmask] : table) {
            if ((modifiers & bit) != 0) {
                if (xmask == 0) {
                    return std::nullopt;
                }
                mask |= xmask;
            }
        }
        return mask;
    }

    // Every lock-key variant of the hot key on every keycode that produces its keysym, or nothing
    // at all: a hot key that works only with Caps Lock off would look broken.
    HotkeyStatus grab(HotKey& key) {
        const std::optional<std::uint16_t> mask = xModifiers(key.modifiers);
        std::vector<xcb_keycode_t> keycodes;
        if (xcb_keycode_t* found = xcb_key_symbols_get_keycode(symbols_, keysymFor(key.keyCode))) {
            for (xcb_keycode_t* k = found; *k != XCB_NO_SYMBOL; ++k) {
                if (std::find(keycodes.begin(), keycodes.end(), *k) == keycodes.end()) {
                    keycodes.push_back(*k);
                }
            }
            std::free(found);
        }
        if (!mask || keycodes.empty()) {
            return eventHotKeyInvalidErr;
        }
        std::set<std::uint16_t> variants;
        for (std::uint16_t lock : {std::uint16_t(0), std::uint16_t(XCB_MOD_MASK_LOCK), numLockMask_,
                                   std::uint16_t(XCB_MOD_MASK_LOCK | numLockMask_)}) {
            variants.insert(static_cast<std::uint16_t>(*mask | lock));
        }
        xcb_connection_t* c = connection_->raw();
        std::vector<std::pair<Grab, xcb_void_cookie_t>> sent;
        for (xcb_keycode_t keycode : keycodes) {
            for (std::uint16_t variant : variants) {
                sent.push_back({{keycode, variant},
                                xcb_grab_key_checked(c, 0, connection_->root(), variant, keycode,
                                                     XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC)});
            }
        }
        HotkeyStatus status = noErr;
        std::vector<Grab> held;
        try {
            // Once this answers every grab above is processed, so the checks below do not wait.
            connection_->sync(Clock::now() + requestTimeout);
            for (const auto& [grab, cookie] : sent) {
                if (xcb_generic_error_t* error = xcb_request_check(c, cookie)) {
                    if (status == noErr) {
                        status =
                            error->error_code == XCB_ACCESS ? eventHotKeyExistsErr : eventHotKeyInvalidErr;
                    }
                    std::free(error);
                } else {
                    held.push_back(grab);
                }
            }
        } catch (const x11::XcbFailure&) {
            // No answer in time: the server may yet grant any of them, so give every one back.
            status = eventHotKeyInvalidErr;
            held.clear();
            for (const auto& [grab, cookie] : sent) {
                xcb_discard_reply(c, cookie.sequence);
                held.push_back(grab);
            }
        }
        if (status != noErr) {
            for (const Grab& grab : held) {
                xcb_ungrab_key(c, grab.keycode, connection_->root(), grab.modifiers);
            }
            xcb_flush(c);
            return status;
        }
        key.grabs = std::move(held);
        return noErr;
    }

    void ungrab(HotKey& key) {
        for (const Grab& grab : key.grabs) {
            xcb_ungrab_key(connection_->raw(), grab.keycode, connection_->root(), grab.modifiers);
            keysDown_.erase(grab.keycode);
        }
        key.grabs.clear();
    }

    // Reads which modifiers hold Alt, Super and Num Lock. The keymap itself is read by the key
    // symbols on first use; waiting here for every answer keeps that use from blocking.
    void readKeymap(Deadline deadline) {
        xcb_connection_t* c = connection_->raw();
        auto modifierMap =
            connection_->pending<xcb_get_modifier_mapping_reply_t>(xcb_get_modifier_mapping(c).sequence);
        connection_->sync(deadline);
        auto reply = modifierMap.get(deadline);
        altMask_ = superMask_ = numLockMask_ = 0;
        const xcb_keycode_t* keycodes = xcb_get_modifier_mapping_keycodes(reply.get());
        const int perModifier = reply->keycodes_per_modifier;
        for (int modifier = 0; modifier < 8; ++modifier) {
            for (int i = 0; i < perModifier; ++i) {
                const xcb_keycode_t keycode = keycodes[modifier * perModifier + i];
                if (keycode == 0) {
                    continue;
                }
                for (int column = 0; column < 4; ++column) {
                    const xcb_keysym_t keysym = xcb_key_symbols_get_keysym(symbols_, keycode, column);
                    const auto bit = static_cast<std::uint16_t>(1u << modifier);
                    if (keysym == keysymAltL || keysym == keysymAltR || keysym == keysymMetaL) {
                        altMask_ = altMask_ != 0 ? altMask_ : bit;
                    } else if (keysym == keysymSuperL || keysym == keysymSuperR) {
                        superMask_ = superMask_ != 0 ? superMask_ : bit;
                    } else if (keysym == keysymNumLock) {
                        numLockMask_ = numLockMask_ != 0 ? numLockMask_ : bit;
                    }
                }
            }
        }
    }

    // Without it a held key reaches us as a stream of releases and presses.
    void enableDetectableAutoRepeat(Deadline deadline) {
        xcb_connection_t* c = connection_->raw();
        const xcb_query_extension_reply_t* xkb = xcb_get_extension_data(c, &xcb_xkb_id);
        if (xkb == nullptr || !xkb->present) {
            qCWarning(hotkeysLog, "no keyboard extension: a held hot key repeats");
            return;
        }
        auto use = connection_->pending<xcb_xkb_use_extension_reply_t>(
            xcb_xkb_use_extension(c, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION).sequence);
        auto flags = connection_->pending<xcb_xkb_per_client_flags_reply_t>(
            xcb_xkb_per_client_flags(c, XCB_XKB_ID_USE_CORE_KBD,
                                     XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT,
                                     XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT, 0, 0, 0)
                .sequence);
        // A client of the keyboard extension hears of keymap changes only through its events.
        constexpr std::uint16_t keymapEvents =
            XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY | XCB_XKB_EVENT_TYPE_MAP_NOTIFY;
        const xcb_void_cookie_t select = xcb_xkb_select_events_checked(
            c, XCB_XKB_ID_USE_CORE_KBD, keymapEvents, 0, keymapEvents, 0xff, 0xff, nullptr);
        try {
            auto used = use.get(deadline);
            auto set = flags.get(deadline);
            if (!used->supported || (set->value & XCB_XKB_PER_CLIENT_FLAG_DETECTABLE_AUTO_REPEAT) == 0) {
                qCWarning(hotkeysLog, "detectable auto-repeat refused: a held hot key repeats");
            }
            connection_->check(select, deadline);
            xkbFirstEvent_ = xkb->first_event;
        } catch (const x11::XcbFailure&) {
            qCWarning(hotkeysLog, "keyboard extension unusable: a held hot key repeats");
        }
    }

    // Events that a synchronous request read off the socket wait in xcb's queue, where the
    // socket's readiness no longer shows them: look again on a later turn.
    void scheduleDrain() {
        executor_.post([weak = weak_from_this()] {
            if (auto self = weak.lock()) {
                self->drain();
            }
        });
    }

    void drain() {
        xcb_connection_t* c = connection_->raw();
        while (xcb_generic_event_t* raw = xcb_poll_for_event(c)) {
            x11::Reply<xcb_generic_event_t> event(raw);
            handle(*event);
        }
        if (connection_->broken() && watcher_ != nullptr) {
            // A broken socket reads as readable for ever; stop watching it on a later turn, since
            // the watcher may not be destroyed from inside its own callback.
            qCWarning(hotkeysLog, "the X connection broke: hot keys stop");
            executor_.post([weak = weak_from_this()] {
                if (auto self = weak.lock()) {
                    self->watcher_.reset();
                }
            });
        }
    }

    void handle(const xcb_generic_event_t& event) {
        switch (event.response_type & 0x7f) {
        case XCB_KEY_PRESS:
            pressed(reinterpret_cast<const xcb_key_press_event_t&>(event));
            break;
        case XCB_KEY_RELEASE:
            keysDown_.erase(reinterpret_cast<const xcb_key_release_event_t&>(event).detail);
            break;
        case XCB_MAPPING_NOTIFY: // without the keyboard extension
            if (reinterpret_cast<const xcb_mapping_notify_event_t&>(event).request != XCB_MAPPING_POINTER) {
                remapped();
            }
            break;
        default:
            // The keyboard extension's events share one code and carry their kind in the next byte.
            if (xkbFirstEvent_ != 0 && event.response_type == xkbFirstEvent_) {
                const auto kind = reinterpret_cast<const std::uint8_t*>(&event)[1];
                if (kind == XCB_XKB_NEW_KEYBOARD_NOTIFY || kind == XCB_XKB_MAP_NOTIFY) {
                    remapped();
                }
            }
            break; // and errors of ungrabs, which answer nothing
        }
    }

    void pressed(const xcb_key_press_event_t& press) {
        // A key that is already down is the keyboard repeating it.
        if (!keysDown_.insert(press.detail).second) {
            return;
        }
        const auto state =
            static_cast<std::uint16_t>(press.state & modifierBits & ~(XCB_MOD_MASK_LOCK | numLockMask_));
        for (const auto& [reference, key] : hotKeys_) {
            for (const Grab& grab : key.grabs) {
                if (grab.keycode == press.detail &&
                    (grab.modifiers & ~(XCB_MOD_MASK_LOCK | numLockMask_)) == state) {
                    deliver(key.id);
                    return;
                }
            }
        }
    }

    void deliver(EventHotKeyID id) {
        const X11HotkeyEvent event(this, id);
        // A handler may add or remove handlers while it runs.
        const std::vector<Handler> handlers = handlers_;
        for (auto it = handlers.rbegin(); it != handlers.rend(); ++it) {
            if (it->handler(&event, it->userData) != eventNotHandledErr) {
                return;
            }
        }
    }

    void remapped() {
        xcb_key_symbols_free(symbols_);
        symbols_ = xcb_key_symbols_alloc(connection_->raw());
        for (auto& [reference, key] : hotKeys_) {
            ungrab(key);
        }
        try {
            readKeymap(Clock::now() + requestTimeout);
        } catch (const x11::XcbFailure&) {
            qCWarning(hotkeysLog, "the new keymap could not be read: hot keys stop");
            return;
        }
        for (auto& [reference, key] : hotKeys_) {
            if (grab(key) != noErr) {
                qCWarning(hotkeysLog, "hot key %u cannot be grabbed since the keymap changed",
                          static_cast<unsigned>(key.id.id));
            }
        }
        scheduleDrain();
        if (onKeymapChange) {
            onKeymapChange();
        }
    }

public:
    std::function<void()> onKeymapChange;

private:
    Executor& executor_;
    std::unique_ptr<x11::XcbConnection> connection_;
    xcb_key_symbols_t* symbols_ = nullptr;
    std::unique_ptr<LoopDescriptor> watcher_;
    std::uint16_t altMask_ = 0;
    std::uint16_t superMask_ = 0;
    std::uint16_t numLockMask_ = 0;
    std::uint8_t xkbFirstEvent_ = 0;
    std::vector<Handler> handlers_;
    std::map<EventHotKeyRef, HotKey> hotKeys_;
    std::set<xcb_keycode_t> keysDown_;
    std::uint64_t nextReference_ = 1;

    friend class X11HotkeyBackend;
};

X11HotkeyBackend::X11HotkeyBackend(const std::string& display, Executor& mainExecutor)
    : state_(std::make_shared<State>(display, mainExecutor)) {
    state_->watch();
}

X11HotkeyBackend::~X11HotkeyBackend() = default;

HotkeyStatus X11HotkeyBackend::installEventHandler(HotkeyEventHandler handler, void* userData,
                                                   EventHandlerRef& reference) {
    return state_->install(handler, userData, reference);
}

HotkeyStatus X11HotkeyBackend::removeEventHandler(EventHandlerRef reference) {
    return state_->remove(reference);
}

HotkeyStatus X11HotkeyBackend::registerEventHotKey(std::uint32_t keyCode, std::uint32_t modifiers,
                                                   EventHotKeyID id, EventHotKeyRef& reference) {
    return state_->registerHotKey(keyCode, modifiers, id, reference);
}

HotkeyStatus X11HotkeyBackend::unregisterEventHotKey(EventHotKeyRef reference) {
    return state_->unregisterHotKey(reference);
}

void X11HotkeyBackend::setOnKeymapChange(std::function<void()> hook) {
    state_->onKeymapChange = std::move(hook);
}

HotkeyStatus X11HotkeyBackend::hotKeyID(const HotkeyEvent* event, EventHotKeyID& id) const {
    if (event == nullptr) {
        return paramErr;
    }
    const auto* ours = dynamic_cast<const X11HotkeyEvent*>(event);
    if (ours == nullptr || ours->owner != state_.get()) {
        return eventParameterNotFoundErr;
    }
    id = ours->id;
    return noErr;
}

} // namespace platform
