#pragma once
// The values the Accessibility stand-in trades in: result codes, retained element handles, boxed
// geometry values and the attribute values that a read copies out.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace platform {

// A platform result code. The named cases carry the platform's own values; any other code that a
// backend produces travels as it is (static_cast), so it can be passed through unchanged.
enum class AXError : std::int32_t {
    success = 0,
    failure = -25200,
    illegalArgument = -25201,
    invalidUIElement = -25202,
    invalidUIElementObserver = -25203,
    cannotComplete = -25204,
    attributeUnsupported = -25205,
    actionUnsupported = -25206,
    notificationUnsupported = -25207,
    notImplemented = -25208,
    notificationAlreadyRegistered = -25209,
    notificationNotRegistered = -25210,
    apiDisabled = -25211,
    noValue = -25212,
    parameterizedAttributeUnsupported = -25213,
    notEnoughPrecision = -25214,
};

constexpr std::int32_t rawCode(AXError error) noexcept {
    return static_cast<std::int32_t>(error);
}

// What a backend keeps behind an element handle. Backends derive their own kind from it; once made
// it never changes, so handles to it can be shared between threads without a lock.
class AXElementObject {
public:
    virtual ~AXElementObject() = default;
    AXElementObject(const AXElementObject&) = delete;
    AXElementObject& operator=(const AXElementObject&) = delete;

protected:
    AXElementObject() = default;
};

// A retained element: copying retains it, destroying the last copy releases it. The reference count
// is thread-safe. Handles have no equality: two reads of the same window may give two handles.
class AXUIElement {
public:
    // REQUIRES: object is not null (std::invalid_argument otherwise).
    explicit AXUIElement(std::shared_ptr<const AXElementObject> object);

    // The backend's object when it is a T (or derives from it); null for another backend's element.
    template <class T>
    const T* as() const noexcept {
        return dynamic_cast<const T*>(object_.get());
    }

    const std::shared_ptr<const AXElementObject>& object() const noexcept { return object_; }

private:
    std::shared_ptr<const AXElementObject> object_;
};

struct CGPoint {
    double x = 0;
    double y = 0;
    bool operator==(const CGPoint&) const = default;
};

struct CGSize {
    double width = 0;
    double height = 0;
    bool operator==(const CGSize&) const = default;
};

struct CGRect {
    CGPoint origin;
    CGSize size;
    bool operator==(const CGRect&) const = default;
};

// The value type of a boxed value, with the platform's numbers.
enum class AXValueType : std::int32_t {
    illegal = 0,
    cgPoint = 1,
    cgSize = 2,
    cgRect = 3,
    cfRange = 4,
    axError = 5,
};

// A boxed geometry value, as the platform delivers position and size attributes and takes them in
// writes. Equality compares the value type and the numbers exactly.
class AXValue {
public:
    explicit AXValue(CGPoint point) : payload_(point) {}
    explicit AXValue(CGSize size) : payload_(size) {}
    explicit AXValue(CGRect rect) : payload_(rect) {}

    AXValueType type() const noexcept;

    // The payload when the value is of that type; nothing otherwise.
    std::optional<CGPoint> point() const noexcept;
    std::optional<CGSize> size() const noexcept;
    std::optional<CGRect> rect() const noexcept;

    bool operator==(const AXValue&) const = default;

private:
    std::variant<CGPoint, CGSize, CGRect> payload_;
};

using AXElementArray = std::vector<AXUIElement>;

// What a read copies out, one alternative per platform object type: a boolean, a number, a text, an
// element, a boxed geometry value or an array of elements.
using AXAttributeValue = std::variant<bool, double, std::string, AXUIElement, AXValue, AXElementArray>;

} // namespace platform
