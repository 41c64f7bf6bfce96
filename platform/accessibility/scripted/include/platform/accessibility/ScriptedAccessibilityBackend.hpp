#pragma once
// An in-memory Accessibility backend for tests: named elements whose attributes hold scripted
// values or errors, with a log of every call in the order it was made.

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/accessibility/AccessibilityBackend.hpp"

namespace platform {

// Renders a value for the call log: "true", "1.5", "\"AXWindow\"", "element main", "point(1, 2)",
// "size(3, 4)", "rect(1, 2, 3, 4)", "array(2)".
std::string describe(const AXAttributeValue& value);

// Elements are known by name; every handle made for one name refers to the same element. An
// attribute that was never scripted answers attributeUnsupported. Safe for concurrent access.
class ScriptedAccessibilityBackend final : public AccessibilityBackend {
public:
    // A handle to the element called name.
    AXUIElement element(const std::string& name);
    // The name behind a handle of this backend; "?" for a foreign element.
    static std::string nameOf(const AXUIElement& element);

    void setTrusted(bool trusted);
    // The element that createApplication(pid) gives; "application <pid>" unless set.
    void setApplicationName(std::int32_t pid, std::string name);

    // Reads of the attribute deliver the value (and count it when it is an array).
    void setValue(const std::string& element, std::string_view attribute, AXAttributeValue value);
    // Reads of the attribute succeed with no value; counts answer noValue.
    void setNoValue(const std::string& element, std::string_view attribute);
    // Reads, counts and settable tests of the attribute answer the code.
    void setError(const std::string& element, std::string_view attribute, AXError error);
    // The count answer, overriding the value's own.
    void setCount(const std::string& element, std::string_view attribute, std::int64_t count);
    // The settable answer (false unless set, for an attribute that was scripted).
    void setSettable(const std::string& element, std::string_view attribute, bool settable);
    // Writes of the attribute answer the code and change nothing. A successful write stores the
    // value, so the read that follows sees it. A write of another type than the attribute takes
    // (a point for AXPosition, a size for AXSize, a bool otherwise) answers illegalArgument.
    void setWriteError(const std::string& element, std::string_view attribute, AXError error);
    // What setMessagingTimeout answers (success unless set).
    void setTimeoutResult(AXError error);

    // The last timeout set on the element, if any.
    std::optional<float> messagingTimeout(const std::string& element) const;
    // The stored value of the attribute, if it has one.
    std::optional<AXAttributeValue> value(const std::string& element, std::string_view attribute) const;

    // One line per call: "trusted", "application 42", "systemWide", "timeout systemWide 1.5",
    // "copy main AXRole", "count app AXWindows", "settable main AXSize", "set main AXSize size(3, 4)".
    std::vector<std::string> calls() const;
    void clearCalls();

    bool isProcessTrusted() override;
    AXUIElement createApplication(std::int32_t pid) override;
    AXUIElement createSystemWide() override;
    AXError setMessagingTimeout(const AXUIElement& element, float seconds) override;
    AXError copyAttributeValue(const AXUIElement& element, std::string_view attribute,
                               std::optional<AXAttributeValue>& value) override;
    AXError getAttributeValueCount(const AXUIElement& element, std::string_view attribute,
                                   std::int64_t& count) override;
    AXError isAttributeSettable(const AXUIElement& element, std::string_view attribute,
                                bool& settable) override;
    AXError setAttributeValue(const AXUIElement& element, std::string_view attribute,
                              const AXAttributeValue& value) override;

private:
    struct Attribute {
        AXError readError = AXError::success;
        std::optional<AXAttributeValue> value;
        std::optional<std::int64_t> count;
        bool settable = false;
        AXError writeError = AXError::success;
    };
    using Key = std::pair<std::string, std::string>;

    // Logs a read and finds its entry: success with the entry, or the code the read answers.
    AXError readLocked(const char* operation, const AXUIElement& element, std::string_view attribute,
                       const Attribute*& entry);
    AXUIElement elementLocked(const std::string& name);
    Attribute& attributeLocked(const std::string& element, std::string_view attribute);
    const Attribute* findLocked(const std::string& element, std::string_view attribute) const;
    void logLocked(std::string line);

    mutable std::mutex mutex_;
    bool trusted_ = true;
    AXError timeoutResult_ = AXError::success;
    std::map<std::string, AXUIElement> elements_;
    std::map<std::int32_t, std::string> applicationNames_;
    std::map<Key, Attribute> attributes_;
    std::map<std::string, float> timeouts_;
    std::vector<std::string> calls_;
};

} // namespace platform
