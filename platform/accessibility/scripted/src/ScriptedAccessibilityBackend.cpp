#include "platform/accessibility/ScriptedAccessibilityBackend.hpp"

#include <sstream>
#include <type_traits>

#include "platform/accessibility/AccessibilityNames.hpp"

namespace platform {

namespace {

class ScriptedElement final : public AXElementObject {
public:
    explicit ScriptedElement(std::string name) : name(std::move(name)) {}
    const std::string name;
};

template <class T>
std::string formatted(const T& value) {
    std::ostringstream out;
    out << value;
    return out.str();
}

std::string pair(const char* kind, double first, double second) {
    return std::string(kind) + "(" + formatted(first) + ", " + formatted(second) + ")";
}

// Whether a write carries the type that the attribute takes: a point for the position, a size for
// the size and a bool for every flag, as the live backends require.
bool takes(std::string_view attribute, const AXAttributeValue& value) {
    const auto* boxed = std::get_if<AXValue>(&value);
    if (attribute == ax::positionAttribute) {
        return boxed != nullptr && boxed->type() == AXValueType::cgPoint;
    }
    if (attribute == ax::sizeAttribute) {
        return boxed != nullptr && boxed->type() == AXValueType::cgSize;
    }
    return std::holds_alternative<bool>(value);
}

} // namespace

std::string describe(const AXAttributeValue& value) {
    return std::visit(
        [](const auto& v) -> std::string {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, bool>) {
                return v ? "true" : "false";
            } else if constexpr (std::is_same_v<T, double>) {
                return formatted(v);
            } else if constexpr (std::is_same_v<T, std::string>) {
                return "\"" + v + "\"";
            } else if constexpr (std::is_same_v<T, AXUIElement>) {
                return "element " + ScriptedAccessibilityBackend::nameOf(v);
            } else if constexpr (std::is_same_v<T, AXValue>) {
                if (auto point = v.point()) {
                    return pair("point", point->x, point->y);
                }
                if (auto size = v.size()) {
                    return pair("size", size->width, size->height);
                }
                const CGRect rect = *v.rect();
                return "rect(" + formatted(rect.origin.x) + ", " + formatted(rect.origin.y) + ", " +
                       formatted(rect.size.width) + ", " + formatted(rect.size.height) + ")";
            } else {
                return "array(" + formatted(v.size()) + ")";
            }
        },
        value);
}

AXUIElement ScriptedAccessibilityBackend::element(const std::string& name) {
    std::lock_guard lock(mutex_);
    return elementLocked(name);
}

std::string ScriptedAccessibilityBackend::nameOf(const AXUIElement& element) {
    if (const auto* scripted = element.as<ScriptedElement>()) {
        return scripted->name;
    }
    return "?";
}

void ScriptedAccessibilityBackend::setTrusted(bool trusted) {
    std::lock_guard lock(mutex_);
    trusted_ = trusted;
}

void ScriptedAccessibilityBackend::setApplicationName(std::int32_t pid, std::string name) {
    std::lock_guard lock(mutex_);
    applicationNames_[pid] = std::move(name);
}

void ScriptedAccessibilityBackend::setValue(const std::string& element, std::string_view attribute,
                                            AXAttributeValue value) {
    std::lock_guard lock(mutex_);
    Attribute& entry = attributeLocked(element, attribute);
    entry.readError = AXError::success;
    entry.value = std::move(value);
}

void ScriptedAccessibilityBackend::setNoValue(const std::string& element, std::string_view attribute) {
    std::lock_guard lock(mutex_);
    Attribute& entry = attributeLocked(element, attribute);
    entry.readError = AXError::success;
    entry.value.reset();
}

void ScriptedAccessibilityBackend::setError(const std::string& element, std::string_view attribute,
                                            AXError error) {
    std::lock_guard lock(mutex_);
    attributeLocked(element, attribute).readError = error;
}

void ScriptedAccessibilityBackend::setCount(const std::string& element, std::string_view attribute,
                                            std::int64_t count) {
    std::lock_guard lock(mutex_);
    attributeLocked(element, attribute).count = count;
}

void ScriptedAccessibilityBackend::setSettable(const std::string& element, std::string_view attribute,
                                               bool settable) {
    std::lock_guard lock(mutex_);
    attributeLocked(element, attribute).settable = settable;
}

void ScriptedAccessibilityBackend::setWriteError(const std::string& element, std::string_view attribute,
                                                 AXError error) {
    std::lock_guard lock(mutex_);
    attributeLocked(element, attribute).writeError = error;
}

void ScriptedAccessibilityBackend::setTimeoutResult(AXError error) {
    std::lock_guard lock(mutex_);
    timeoutResult_ = error;
}

std::optional<float> ScriptedAccessibilityBackend::messagingTimeout(const std::string& element) const {
    std::lock_guard lock(mutex_);
    if (auto found = timeouts_.find(element); found != timeouts_.end()) {
        return found->second;
    }
    return std::nullopt;
}

std::optional<AXAttributeValue> ScriptedAccessibilityBackend::value(const std::string& element,
                                                                    std::string_view attribute) const {
    std::lock_guard lock(mutex_);
    if (const Attribute* entry = findLocked(element, attribute)) {
        return entry->value;
    }
    return std::nullopt;
}

std::vector<std::string> ScriptedAccessibilityBackend::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

void ScriptedAccessibilityBackend::clearCalls() {
    std::lock_guard lock(mutex_);
    calls_.clear();
}

bool ScriptedAccessibilityBackend::isProcessTrusted() {
    std::lock_guard lock(mutex_);
    logLocked("trusted");
    return trusted_;
}

AXUIElement ScriptedAccessibilityBackend::createApplication(std::int32_t pid) {
    std::lock_guard lock(mutex_);
    logLocked("application " + std::to_string(pid));
    auto named = applicationNames_.find(pid);
    return elementLocked(named != applicationNames_.end() ? named->second
                                                          : "application " + std::to_string(pid));
}

AXUIElement ScriptedAccessibilityBackend::createSystemWide() {
    std::lock_guard lock(mutex_);
    logLocked("systemWide");
    return elementLocked("systemWide");
}

AXError ScriptedAccessibilityBackend::setMessagingTimeout(const AXUIElement& element, float seconds) {
    std::lock_guard lock(mutex_);
    const std::string name = nameOf(element);
    logLocked("timeout " + name + " " + formatted(seconds));
    if (timeoutResult_ == AXError::success) {
        timeouts_[name] = seconds;
    }
    return timeoutResult_;
}

AXError ScriptedAccessibilityBackend::copyAttributeValue(const AXUIElement& element,
                                                         std::string_view attribute,
                                                         std::optional<AXAttributeValue>& value) {
    std::lock_guard lock(mutex_);
    const Attribute* entry = nullptr;
    if (const AXError error = readLocked("copy", element, attribute, entry); error != AXError::success) {
        return error;
    }
    value = entry->value;
    return AXError::success;
}

AXError ScriptedAccessibilityBackend::getAttributeValueCount(const AXUIElement& element,
                                                             std::string_view attribute,
                                                             std::int64_t& count) {
    std::lock_guard lock(mutex_);
    const Attribute* entry = nullptr;
    if (const AXError error = readLocked("count", element, attribute, entry); error != AXError::success) {
        return error;
    }
    if (entry->count) {
        count = *entry->count;
        return AXError::success;
    }
    if (!entry->value) {
        return AXError::noValue;
    }
    const auto* array = std::get_if<AXElementArray>(&*entry->value);
    if (array == nullptr) {
        return AXError::illegalArgument;
    }
    count = static_cast<std::int64_t>(array->size());
    return AXError::success;
}

AXError ScriptedAccessibilityBackend::isAttributeSettable(const AXUIElement& element,
                                                          std::string_view attribute, bool& settable) {
    std::lock_guard lock(mutex_);
    const Attribute* entry = nullptr;
    if (const AXError error = readLocked("settable", element, attribute, entry); error != AXError::success) {
        return error;
    }
    settable = entry->settable;
    return AXError::success;
}

AXError ScriptedAccessibilityBackend::setAttributeValue(const AXUIElement& element,
                                                        std::string_view attribute,
                                                        const AXAttributeValue& value) {
    std::lock_guard lock(mutex_);
    const std::string name = nameOf(element);
    logLocked("set " + name + " " + std::string(attribute) + " " + describe(value));
    auto found = attributes_.find(Key{name, std::string(attribute)});
    if (found == attributes_.end()) {
        return AXError::attributeUnsupported;
    }
    if (!takes(attribute, value)) {
        return AXError::illegalArgument;
    }
    if (found->second.writeError != AXError::success) {
        return found->second.writeError;
    }
    found->second.readError = AXError::success;
    found->second.value = value;
    return AXError::success;
}

AXError ScriptedAccessibilityBackend::readLocked(const char* operation, const AXUIElement& element,
                                                 std::string_view attribute, const Attribute*& entry) {
    const std::string name = nameOf(element);
    logLocked(std::string(operation) + " " + name + " " + std::string(attribute));
    entry = findLocked(name, attribute);
    if (entry == nullptr) {
        return AXError::attributeUnsupported;
    }
    return entry->readError;
}

AXUIElement ScriptedAccessibilityBackend::elementLocked(const std::string& name) {
    auto found = elements_.find(name);
    if (found == elements_.end()) {
        found = elements_.emplace(name, AXUIElement(std::make_shared<ScriptedElement>(name))).first;
    }
    return found->second;
}

ScriptedAccessibilityBackend::Attribute&
ScriptedAccessibilityBackend::attributeLocked(const std::string& element, std::string_view attribute) {
    return attributes_[Key{element, std::string(attribute)}];
}

const ScriptedAccessibilityBackend::Attribute*
ScriptedAccessibilityBackend::findLocked(const std::string& element, std::string_view attribute) const {
    auto found = attributes_.find(Key{element, std::string(attribute)});
    return found != attributes_.end() ? &found->second : nullptr;
}

void ScriptedAccessibilityBackend::logLocked(std::string line) {
    calls_.push_back(std::move(line));
}

} // namespace platform
