#include "platform/accessibility/AccessibilityTypes.hpp"

#include <stdexcept>
#include <utility>

namespace platform {

AXUIElement::AXUIElement(std::shared_ptr<const AXElementObject> object) : object_(std::move(object)) {
    if (object_ == nullptr) {
        throw std::invalid_argument("AXUIElement needs an element object");
    }
}

AXValueType AXValue::type() const noexcept {
    switch (payload_.index()) {
    case 0:
        return AXValueType::cgPoint;
    case 1:
        return AXValueType::cgSize;
    case 2:
        return AXValueType::cgRect;
    }
    return AXValueType::illegal;
}

namespace {
template <class T, class Payload>
std::optional<T> payloadAs(const Payload& payload) noexcept {
    if (const T* value = std::get_if<T>(&payload)) {
        return *value;
    }
    return std::nullopt;
}
} // namespace

std::optional<CGPoint> AXValue::point() const noexcept {
    return payloadAs<CGPoint>(payload_);
}
std::optional<CGSize> AXValue::size() const noexcept {
    return payloadAs<CGSize>(payload_);
}
std::optional<CGRect> AXValue::rect() const noexcept {
    return payloadAs<CGRect>(payload_);
}

} // namespace platform
