#include "platform/hotkeys/SyntheticKeyboard.hpp"

#include "platform/x11/XcbConnection.hpp"

#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <stdexcept>

namespace platform::testing {

class SyntheticKeyboard::Connection {
public:
    explicit Connection(const std::string& display) {
        const x11::Deadline deadline = x11::Clock::now() + std::chrono::seconds(5);
        connection = x11::XcbConnection::open(display, deadline);
        symbols = xcb_key_symbols_alloc(connection->raw());
        xcb_prefetch_extension_data(connection->raw(), &xcb_test_id);
        // Bounded: the extension data and the keymap are read on first use, which this lets arrive.
        connection->sync(deadline);
        const xcb_query_extension_reply_t* test = xcb_get_extension_data(connection->raw(), &xcb_test_id);
        if (test == nullptr || !test->present) {
            xcb_key_symbols_free(symbols);
            throw std::runtime_error("the X server has no test extension");
        }
    }
    ~Connection() { xcb_key_symbols_free(symbols); }

    xcb_keycode_t keycode(std::uint32_t keysym) {
        if (auto known = keycodes.find(keysym); known != keycodes.end()) {
            return known->second;
        }
        xcb_keycode_t* found = xcb_key_symbols_get_keycode(symbols, keysym);
        if (found == nullptr || *found == XCB_NO_SYMBOL) {
            std::free(found);
            throw std::runtime_error("no key produces the keysym");
        }
        const xcb_keycode_t first = *found;
        std::free(found);
        return keycodes[keysym] = first;
    }

    std::unique_ptr<x11::XcbConnection> connection;
    xcb_key_symbols_t* symbols;
    std::map<std::uint32_t, xcb_keycode_t> keycodes;
};

SyntheticKeyboard::SyntheticKeyboard(const std::string& display) {
    try {
        connection_ = std::make_unique<Connection>(display);
    } catch (const x11::XcbFailure&) {
        throw std::runtime_error("no X server answers on " + display);
    }
}

SyntheticKeyboard::~SyntheticKeyboard() = default;

void SyntheticKeyboard::type(const std::vector<std::uint32_t>& keysyms) {
    std::vector<xcb_keycode_t> keys;
    for (std::uint32_t keysym : keysyms) {
        keys.push_back(connection_->keycode(keysym));
    }
    xcb_connection_t* c = connection_->connection->raw();
    for (xcb_keycode_t key : keys) {
        xcb_test_fake_input(c, XCB_KEY_PRESS, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    }
    for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
        xcb_test_fake_input(c, XCB_KEY_RELEASE, *key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
    }
    xcb_flush(c);
}

} // namespace platform::testing
