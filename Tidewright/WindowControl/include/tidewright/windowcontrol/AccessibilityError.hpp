#pragma once
// The one error of the Accessibility call layer: the platform's result code, which the layer also
// uses for the two failures it finds itself (noValue: a read that succeeded with no value;
// illegalArgument: a value of the wrong type, or one that cannot be unpacked or made). Thrown as
// the value.

#include "platform/accessibility/AccessibilityTypes.hpp"

namespace tidewright {

struct AccessibilityError {
    platform::AXError code;

    bool operator==(const AccessibilityError&) const = default;
};

} // namespace tidewright
