#pragma once
// The platform's Accessibility element and value functions, as one interface. The composition root
// picks the implementation (live over the window system, or scripted in tests) and hands it to the
// call layer; nothing else builds one.

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/accessibility/AccessibilityTypes.hpp"

namespace platform {

// Contracts shared by every method:
// - Thread safety: every method is safe for concurrent calls from any thread. In practice the
//   transport calls them from its one worker thread while the main thread may ask isProcessTrusted,
//   so a backend keeps its own connection to the window system, apart from the UI toolkit's.
// - Elements: a backend accepts only elements it made itself (createApplication, createSystemWide,
//   or values it delivered). An element whose application or window is gone answers
//   invalidUIElement.
// - Attribute names are the platform's (AccessibilityNames.hpp). A name the backend does not know,
//   or one the element does not have, answers attributeUnsupported.
// - Result codes: success, or one of AXError. A call that gets no answer within the messaging
//   timeout, or whose connection broke, answers cannotComplete; a present attribute without a value
//   answers noValue from the value functions below, or success with an empty value from
//   copyAttributeValue; any other window-system error answers failure.
// - No method throws (bar std::bad_alloc): every failure is a result code. Out-parameters are
//   written only on success; on failure they are left as they were.
// - Every wait inside a call (for a reply, for a write to settle) is bounded by the messaging
//   timeout that applies to the element; never by a fixed sleep.
class AccessibilityBackend {
public:
    virtual ~AccessibilityBackend() = default;

    // Whether this process may read and move other applications' windows. Never fails. Asked on the
    // main thread, so it waits at most the default timeout, never the process-wide one that an
    // operation on the worker sets to its own time left.
    virtual bool isProcessTrusted() = 0;

    // The element of the application that runs as pid. Never fails: an element of a process that
    // does not exist answers invalidUIElement (or cannotComplete) when it is used.
    virtual AXUIElement createApplication(std::int32_t pid) = 0;

    // The system-wide element; it exists only to carry the process-wide messaging timeout.
    virtual AXUIElement createSystemWide() = 0;

    // Sets how long a call may wait, in seconds. On the system-wide element it sets the process-wide
    // timeout, which applies to every element without a timeout of its own, from any thread; on
    // another element, that element's own. seconds <= 0 restores the default (the platform's six
    // seconds). REQUIRES: seconds is finite.
    virtual AXError setMessagingTimeout(const AXUIElement& element, float seconds) = 0;

    // Copies the attribute's current value into value. On success value holds the value, or is
    // empty when the attribute exists but has no value now (a main window of an application that
    // shows none). Value types: bool for flags, std::string for roles and subroles, AXUIElement for
    // windows, AXElementArray for AXWindows, AXValue of type cgPoint for AXPosition and cgSize for
    // AXSize, in desktop coordinates (top-left origin, y downward).
    virtual AXError copyAttributeValue(const AXUIElement& element, std::string_view attribute,
                                       std::optional<AXAttributeValue>& value) = 0;

    // The number of values of an array attribute (AXWindows: the application's windows).
    // A present attribute that is not an array answers illegalArgument.
    virtual AXError getAttributeValueCount(const AXUIElement& element, std::string_view attribute,
                                           std::int64_t& count) = 0;

    // Whether a write of the attribute can take effect (AXSize: false for a window of fixed size).
    virtual AXError isAttributeSettable(const AXUIElement& element, std::string_view attribute,
                                        bool& settable) = 0;

    // Writes the attribute: AXPosition takes an AXValue of type cgPoint (the window's top-left
    // corner), AXSize an AXValue of type cgSize, flags a bool; a value of another type answers
    // illegalArgument. Returns once the write has taken effect (or was refused), so that a read that
    // follows sees the result. The window may take another value than the one written (size limits).
    virtual AXError setAttributeValue(const AXUIElement& element, std::string_view attribute,
                                      const AXAttributeValue& value) = 0;
};

} // namespace platform
