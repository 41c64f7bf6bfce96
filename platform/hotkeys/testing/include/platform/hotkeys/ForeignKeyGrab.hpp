#pragma once
// Another X client holding key combinations on the root window, as a program that took a hot key
// first would; for tests. Its header carries no xcb: keysyms and modifier masks are plain numbers.

#include <cstdint>
#include <memory>
#include <string>

namespace platform::testing {

class ForeignKeyGrab {
public:
    // X modifier masks.
    static constexpr std::uint16_t shift = 0x01, lock = 0x02, control = 0x04, mod1 = 0x08, mod2 = 0x10;

    // Connects to display. THROWS std::runtime_error when no X server answers.
    explicit ForeignKeyGrab(const std::string& display);
    // Releases every grab it holds.
    ~ForeignKeyGrab();
    ForeignKeyGrab(const ForeignKeyGrab&) = delete;
    ForeignKeyGrab& operator=(const ForeignKeyGrab&) = delete;

    // Grabs every keycode that produces keysym with exactly these modifiers; false when another
    // client holds one of them (what it did grab stays held until release or destruction).
    bool grab(std::uint32_t keysym, std::uint16_t modifiers);
    // Releases every grab.
    void release();

private:
    class Connection;
    std::unique_ptr<Connection> connection_;
};

} // namespace platform::testing
