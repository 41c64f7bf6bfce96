#include "platform/hotkeys/ForeignKeyGrab.hpp"

#include "platform/x11/XcbConnection.hpp"

#include <xcb/xcb_keysyms.h>

#include <chrono>
#include <cstdlib>
#include <stdexcept>
#include <utility>
#include <vector>

namespace platform::testing {

class ForeignKeyGrab::Connection {
public:
    explicit Connection(const std::string& display) {
        connection = x11::XcbConnection::open(display, soon());
        symbols = xcb_key_symbols_alloc(connection->raw());
    }
    ~Connection() { xcb_key_symbols_free(symbols); }

    static x11::Deadline soon() { return x11::Clock::now() + std::chrono::seconds(5); }

    std::unique_ptr<x11::XcbConnection> connection;
    xcb_key_symbols_t* symbols;
    std::vector<std::pair<xcb_keycode_t, std::uint16_t>> held;
};

ForeignKeyGrab::ForeignKeyGrab(const std::string& display) {
    try {
        connection_ = std::make_unique<Connection>(display);
    } catch (const x11::XcbFailure&) {
        throw std::runtime_error("no X server answers on " + display);
    }
}

ForeignKeyGrab::~ForeignKeyGrab() {
    release();
}

bool ForeignKeyGrab::grab(std::uint32_t keysym, std::uint16_t modifiers) {
    x11::XcbConnection& c = *connection_->connection;
    // Bounded: the key symbols read the keymap on first use, which the sync lets arrive first.
    c.sync(Connection::soon());
    xcb_keycode_t* keycodes = xcb_key_symbols_get_keycode(connection_->symbols, keysym);
    if (keycodes == nullptr) {
        throw std::runtime_error("no key produces the keysym");
    }
    bool all = true;
    for (xcb_keycode_t* k = keycodes; *k != XCB_NO_SYMBOL; ++k) {
        try {
            c.check(xcb_grab_key_checked(c.raw(), 0, c.root(), modifiers, *k, XCB_GRAB_MODE_ASYNC,
                                         XCB_GRAB_MODE_ASYNC),
                    Connection::soon());
            connection_->held.emplace_back(*k, modifiers);
        } catch (const x11::XcbFailure& failure) {
            if (failure.kind != x11::XcbFailure::Kind::xError || failure.errorCode != XCB_ACCESS) {
                std::free(keycodes);
                throw;
            }
            all = false;
        }
    }
    std::free(keycodes);
    return all;
}

void ForeignKeyGrab::release() {
    x11::XcbConnection& c = *connection_->connection;
    for (const auto& [keycode, modifiers] : connection_->held) {
        xcb_ungrab_key(c.raw(), keycode, c.root(), modifiers);
    }
    connection_->held.clear();
    try {
        c.sync(Connection::soon());
    } catch (const x11::XcbFailure&) {
        // The display went away: nothing is held any more.
    }
}

} // namespace platform::testing
