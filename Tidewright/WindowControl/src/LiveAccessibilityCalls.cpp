#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"

#include <cmath>
#include <optional>
#include <stdexcept>
#include <utility>

namespace tidewright {

namespace {

using platform::AXError;

void throwUnlessSuccess(AXError result) {
    if (result != AXError::success) {
        throw AccessibilityError{result};
    }
}

// The value of the wanted alternative, or the layer's wrong-type error.
template <class T>
T typed(platform::AXAttributeValue&& value) {
    if (T* typedValue = std::get_if<T>(&value)) {
        return std::move(*typedValue);
    }
    throw AccessibilityError{AXError::illegalArgument};
}

} // namespace

LiveAccessibilityCalls::LiveAccessibilityCalls(std::shared_ptr<platform::AccessibilityBackend> backend)
    : backend_(std::move(backend)) {
    if (backend_ == nullptr) {
        throw std::invalid_argument("LiveAccessibilityCalls needs a backend");
    }
}

bool LiveAccessibilityCalls::isProcessTrusted() const {
    return backend_->isProcessTrusted();
}

void LiveAccessibilityCalls::setMessagingTimeout(float seconds) const {
    if (!std::isfinite(seconds)) {
        return;
    }
    const Element systemWide = backend_->createSystemWide();
    // A timeout that cannot be set leaves the previous one; the calls still run, so go on.
    static_cast<void>(backend_->setMessagingTimeout(systemWide, seconds));
}

LiveAccessibilityCalls::Element LiveAccessibilityCalls::application(std::int32_t pid) const {
    return backend_->createApplication(pid);
}

platform::AXAttributeValue LiveAccessibilityCalls::copy(AccessibilityAttribute attribute,
                                                        const Element& of) const {
    std::optional<platform::AXAttributeValue> value;
    throwUnlessSuccess(backend_->copyAttributeValue(of, rawValue(attribute), value));
    if (!value) {
        throw AccessibilityError{AXError::noValue};
    }
    return std::move(*value);
}

LiveAccessibilityCalls::Element LiveAccessibilityCalls::element(AccessibilityAttribute attribute,
                                                                const Element& of) const {
    return typed<Element>(copy(attribute, of));
}

bool LiveAccessibilityCalls::boolean(AccessibilityAttribute attribute, const Element& of) const {
    return typed<bool>(copy(attribute, of));
}

std::string LiveAccessibilityCalls::string(AccessibilityAttribute attribute, const Element& of) const {
    return typed<std::string>(copy(attribute, of));
}

platform::AXValue LiveAccessibilityCalls::boxedValue(AccessibilityAttribute attribute,
                                                     platform::AXValueType type, const Element& of) const {
    platform::AXValue value = typed<platform::AXValue>(copy(attribute, of));
    if (value.type() != type) {
        throw AccessibilityError{AXError::illegalArgument};
    }
    return value;
}

platform::CGPoint LiveAccessibilityCalls::point(AccessibilityAttribute attribute, const Element& of) const {
    const auto point = boxedValue(attribute, platform::AXValueType::cgPoint, of).point();
    if (!point) {
        throw AccessibilityError{AXError::illegalArgument};
    }
    return *point;
}

platform::CGSize LiveAccessibilityCalls::size(AccessibilityAttribute attribute, const Element& of) const {
    const auto size = boxedValue(attribute, platform::AXValueType::cgSize, of).size();
    if (!size) {
        throw AccessibilityError{AXError::illegalArgument};
    }
    return *size;
}

std::int64_t LiveAccessibilityCalls::valueCount(AccessibilityAttribute attribute, const Element& of) const {
    std::int64_t count = 0;
    throwUnlessSuccess(backend_->getAttributeValueCount(of, rawValue(attribute), count));
    return count;
}

bool LiveAccessibilityCalls::isSettable(AccessibilityAttribute attribute, const Element& of) const {
    bool settable = false;
    throwUnlessSuccess(backend_->isAttributeSettable(of, rawValue(attribute), settable));
    return settable;
}

void LiveAccessibilityCalls::write(AccessibilityAttribute attribute, const platform::AXAttributeValue& value,
                                   const Element& of) const {
    throwUnlessSuccess(backend_->setAttributeValue(of, rawValue(attribute), value));
}

void LiveAccessibilityCalls::setPoint(AccessibilityAttribute attribute, platform::CGPoint point,
                                      const Element& of) const {
    write(attribute, platform::AXValue(point), of);
}

void LiveAccessibilityCalls::setSize(AccessibilityAttribute attribute, platform::CGSize size,
                                     const Element& of) const {
    write(attribute, platform::AXValue(size), of);
}

void LiveAccessibilityCalls::setBool(AccessibilityAttribute attribute, bool value, const Element& of) const {
    write(attribute, value, of);
}

} // namespace tidewright
