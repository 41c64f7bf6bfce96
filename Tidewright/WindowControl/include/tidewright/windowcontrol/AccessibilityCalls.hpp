#pragma once
// The call layer that every read and write on another application's windows goes through. The
// window logic is generic over it, so it runs against the live platform or a scripted fake alike.

#include <concepts>
#include <cstdint>
#include <string>

#include "platform/accessibility/AccessibilityTypes.hpp"
#include "tidewright/windowcontrol/AccessibilityAttribute.hpp"

namespace tidewright {

// What a call layer offers. Every operation that can fail throws AccessibilityError and nothing
// else; isProcessTrusted, setMessagingTimeout and application never fail. The calls are const: a
// call layer is a value that copies cheaply and may be used from any thread.
template <class C>
concept AccessibilityCalls = std::copy_constructible<C> &&
    requires(const C calls, const typename C::Element& element, AccessibilityAttribute attribute,
             float seconds, std::int32_t pid, platform::CGPoint point, platform::CGSize size, bool flag) {
    typename C::Element;
    requires std::copy_constructible<typename C::Element>;
    { calls.isProcessTrusted() } -> std::same_as<bool>;
    // Process-wide: the last value set applies to every later call from any thread.
    { calls.setMessagingTimeout(seconds) } -> std::same_as<void>;
    { calls.application(pid) } -> std::same_as<typename C::Element>;
    { calls.element(attribute, element) } -> std::same_as<typename C::Element>;
    { calls.boolean(attribute, element) } -> std::same_as<bool>;
    { calls.string(attribute, element) } -> std::same_as<std::string>;
    { calls.point(attribute, element) } -> std::same_as<platform::CGPoint>;
    { calls.size(attribute, element) } -> std::same_as<platform::CGSize>;
    { calls.valueCount(attribute, element) } -> std::same_as<std::int64_t>;
    { calls.isSettable(attribute, element) } -> std::same_as<bool>;
    { calls.setPoint(attribute, point, element) } -> std::same_as<void>;
    { calls.setSize(attribute, size, element) } -> std::same_as<void>;
    { calls.setBool(attribute, flag, element) } -> std::same_as<void>;
};

} // namespace tidewright
