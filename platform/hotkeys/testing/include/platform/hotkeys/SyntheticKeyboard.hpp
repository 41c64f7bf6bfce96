#pragma once
// Key presses injected into an X server through the test extension, as a keyboard would send
// them; for benchmarks and tests. Its header carries no xcb: keysyms are plain numbers.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::testing {

class SyntheticKeyboard {
public:
    static constexpr std::uint32_t controlL = 0xffe3, altL = 0xffe9, left = 0xff51;

    // Connects to display. THROWS std::runtime_error when no X server answers or it lacks the
    // test extension.
    explicit SyntheticKeyboard(const std::string& display);
    ~SyntheticKeyboard();
    SyntheticKeyboard(const SyntheticKeyboard&) = delete;
    SyntheticKeyboard& operator=(const SyntheticKeyboard&) = delete;

    // Presses the keys in order and releases them in reverse, and returns once the requests are
    // sent (not once the server has handled them). THROWS std::runtime_error for a keysym that no
    // key produces.
    void type(const std::vector<std::uint32_t>& keysyms);

private:
    class Connection;
    std::unique_ptr<Connection> connection_;
};

} // namespace platform::testing
