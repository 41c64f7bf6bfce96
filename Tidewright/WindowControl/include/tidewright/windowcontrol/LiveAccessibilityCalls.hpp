#pragma once
// The live call layer over the platform's Accessibility functions: turns result codes into
// AccessibilityError and checks the type of every value it reads.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/accessibility/AccessibilityBackend.hpp"
#include "tidewright/windowcontrol/AccessibilityAttribute.hpp"
#include "tidewright/windowcontrol/AccessibilityCalls.hpp"
#include "tidewright/windowcontrol/AccessibilityError.hpp"

namespace tidewright {

// Holds nothing but the platform backend that the composition root chose; no lock of its own, and
// safe from any thread as far as the backend is.
class LiveAccessibilityCalls {
public:
    using Element = platform::AXUIElement;

    // REQUIRES: backend is not null (std::invalid_argument otherwise).
    explicit LiveAccessibilityCalls(std::shared_ptr<platform::AccessibilityBackend> backend);

    bool isProcessTrusted() const;
    // Sets the timeout on the system-wide element; a failure, or a value that is not finite, is
    // ignored.
    void setMessagingTimeout(float seconds) const;
    Element application(std::int32_t pid) const;

    Element element(AccessibilityAttribute attribute, const Element& of) const;
    bool boolean(AccessibilityAttribute attribute, const Element& of) const;
    std::string string(AccessibilityAttribute attribute, const Element& of) const;
    platform::CGPoint point(AccessibilityAttribute attribute, const Element& of) const;
    platform::CGSize size(AccessibilityAttribute attribute, const Element& of) const;
    std::int64_t valueCount(AccessibilityAttribute attribute, const Element& of) const;
    bool isSettable(AccessibilityAttribute attribute, const Element& of) const;

    void setPoint(AccessibilityAttribute attribute, platform::CGPoint point, const Element& of) const;
    void setSize(AccessibilityAttribute attribute, platform::CGSize size, const Element& of) const;
    void setBool(AccessibilityAttribute attribute, bool value, const Element& of) const;

private:
    platform::AXAttributeValue copy(AccessibilityAttribute attribute, const Element& of) const;
    platform::AXValue boxedValue(AccessibilityAttribute attribute, platform::AXValueType type,
                                 const Element& of) const;
    void write(AccessibilityAttribute attribute, const platform::AXAttributeValue& value,
               const Element& of) const;

    std::shared_ptr<platform::AccessibilityBackend> backend_;
};

static_assert(AccessibilityCalls<LiveAccessibilityCalls>);

} // namespace tidewright
