#pragma once
// The one error of the Accessibility call layer: the platform's result code, or one of the two
// codes the layer produces itself. Thrown as the value.

#include <cstdint>

namespace tidewright {

struct AccessibilityError {
    // A read that succeeded with no value.
    static constexpr std::int32_t noValue = -25212;
    // A value of the wrong type, or one that cannot be unpacked or made.
    static constexpr std::int32_t illegalArgument = -25201;

    std::int32_t code;

    bool operator==(const AccessibilityError&) const = default;
};

} // namespace tidewright
