#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"

#include "platform/accessibility/ScriptedAccessibilityBackend.hpp"

#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidewright {
namespace {

using platform::AXAttributeValue;
using platform::AXElementArray;
using platform::AXError;
using platform::AXValue;
using platform::CGPoint;
using platform::CGRect;
using platform::CGSize;
using platform::ScriptedAccessibilityBackend;
using ::testing::ElementsAre;
using A = AccessibilityAttribute;
using Element = LiveAccessibilityCalls::Element;

TEST(AccessibilityAttributeTests, NamesThePlatformAttributesInOrder) {
    const std::vector<std::string_view> names{
        "AXFrontmost",
        "AXMainWindow",
        "AXFocusedWindow",
        "AXWindows",
        "AXModal",
        "AXMinimized",
        "AXRole",
        "AXSubrole",
        "AXPosition",
        "AXSize",
        "AXEnhancedUserInterface",
    };
    for (std::size_t index = 0; index < names.size(); ++index) {
        EXPECT_EQ(rawValue(static_cast<AccessibilityAttribute>(index)), names[index]) << "case " << index;
    }
}

class LiveAccessibilityCallsTests : public ::testing::Test {
protected:
    std::shared_ptr<ScriptedAccessibilityBackend> backend = std::make_shared<ScriptedAccessibilityBackend>();
    LiveAccessibilityCalls calls{backend};
    Element window = backend->element("window");
};

using Script = std::function<void(ScriptedAccessibilityBackend&, std::string_view attribute)>;

Script holding(AXAttributeValue value) {
    return [value](ScriptedAccessibilityBackend& backend, std::string_view attribute) {
        backend.setValue("window", attribute, value);
    };
}
Script empty() {
    return [](ScriptedAccessibilityBackend& backend, std::string_view attribute) {
        backend.setNoValue("window", attribute);
    };
}
Script failing(AXError code) {
    return [code](ScriptedAccessibilityBackend& backend, std::string_view attribute) {
        backend.setValue("window", attribute, true);
        backend.setError("window", attribute, code);
    };
}
Script settable(bool flag) {
    return [flag](ScriptedAccessibilityBackend& backend, std::string_view attribute) {
        backend.setValue("window", attribute, AXValue(CGSize{1, 1}));
        backend.setSettable("window", attribute, flag);
    };
}
Script unscripted() {
    return [](ScriptedAccessibilityBackend&, std::string_view) {
    };
}

// Each read renders its result as text, so one table covers every result type.
using Read = std::function<std::string(const LiveAccessibilityCalls&, A, const Element&)>;
const Read readElement = [](const auto& calls, A attribute, const Element& of) {
    return ScriptedAccessibilityBackend::nameOf(calls.element(attribute, of));
};
const Read readBool = [](const auto& calls, A attribute, const Element& of) {
    return std::string(calls.boolean(attribute, of) ? "true" : "false");
};
const Read readString = [](const auto& calls, A attribute, const Element& of) {
    return calls.string(attribute, of);
};
const Read readPoint = [](const auto& calls, A attribute, const Element& of) {
    return platform::describe(AXValue(calls.point(attribute, of)));
};
const Read readSize = [](const auto& calls, A attribute, const Element& of) {
    return platform::describe(AXValue(calls.size(attribute, of)));
};
const Read readCount = [](const auto& calls, A attribute, const Element& of) {
    return std::to_string(calls.valueCount(attribute, of));
};
const Read readSettable = [](const auto& calls, A attribute, const Element& of) {
    return std::string(calls.isSettable(attribute, of) ? "true" : "false");
};

struct ReadCase {
    const char* name;
    A attribute;
    Script script;
    Read read;
    // The rendered result, or the code of the AccessibilityError thrown.
    std::variant<std::string, AXError> expected;
};

TEST_F(LiveAccessibilityCallsTests, ChecksTheTypeOfEveryReadAndPassesCodesThrough) {
    const std::vector<ReadCase> cases{
        {"element", A::mainWindow, holding(backend->element("main")), readElement, "main"},
        {"element without value", A::mainWindow, empty(), readElement, AXError::noValue},
        {"element that is text", A::mainWindow, holding(std::string("main")), readElement,
         AXError::illegalArgument},
        {"element that is an array", A::mainWindow, holding(AXElementArray{}), readElement,
         AXError::illegalArgument},
        {"element of a gone window", A::focusedWindow, failing(AXError::invalidUIElement), readElement,
         AXError::invalidUIElement},
        {"bool true", A::frontmost, holding(true), readBool, "true"},
        {"bool false", A::modal, holding(false), readBool, "false"},
        {"bool that is a number", A::minimized, holding(1.0), readBool, AXError::illegalArgument},
        {"bool that is text", A::minimized, holding(std::string("true")), readBool, AXError::illegalArgument},
        {"bool without value", A::frontmost, empty(), readBool, AXError::noValue},
        {"bool not completed", A::frontmost, failing(AXError::cannotComplete), readBool,
         AXError::cannotComplete},
        {"string", A::role, holding(std::string("AXWindow")), readString, "AXWindow"},
        {"string that is a bool", A::subrole, holding(true), readString, AXError::illegalArgument},
        {"string without value", A::subrole, empty(), readString, AXError::noValue},
        {"point", A::position, holding(AXValue(CGPoint{1.5, -2})), readPoint, "point(1.5, -2)"},
        {"point that is a size", A::position, holding(AXValue(CGSize{3, 4})), readPoint,
         AXError::illegalArgument},
        {"point that is a rect", A::position, holding(AXValue(CGRect{{1, 2}, {3, 4}})), readPoint,
         AXError::illegalArgument},
        {"point that is a number", A::position, holding(1.0), readPoint, AXError::illegalArgument},
        {"point without value", A::position, empty(), readPoint, AXError::noValue},
        {"point unsupported", A::position, failing(AXError::attributeUnsupported), readPoint,
         AXError::attributeUnsupported},
        {"size", A::size, holding(AXValue(CGSize{3, 4})), readSize, "size(3, 4)"},
        {"size that is a point", A::size, holding(AXValue(CGPoint{3, 4})), readSize,
         AXError::illegalArgument},
        {"size with an unknown code", A::size, failing(AXError{-25299}), readSize, AXError{-25299}},
        {"count", A::windows,
         holding(AXElementArray{backend->element("a"), backend->element("b"), backend->element("c")}),
         readCount, "3"},
        {"count of no array", A::windows, holding(true), readCount, AXError::illegalArgument},
        {"count with API disabled", A::windows, failing(AXError::apiDisabled), readCount,
         AXError::apiDisabled},
        {"count unscripted", A::windows, unscripted(), readCount, AXError::attributeUnsupported},
        {"settable", A::size, settable(true), readSettable, "true"},
        {"not settable", A::size, settable(false), readSettable, "false"},
        {"settable without value", A::size, failing(AXError::noValue), readSettable, AXError::noValue},
        {"settable of a gone window", A::size, failing(AXError::invalidUIElement), readSettable,
         AXError::invalidUIElement},
    };
    for (const ReadCase& row : cases) {
        SCOPED_TRACE(row.name);
        auto fresh = std::make_shared<ScriptedAccessibilityBackend>();
        row.script(*fresh, rawValue(row.attribute));
        // A backend per row, so that no row sees another's script; element values compare by name.
        const LiveAccessibilityCalls live{fresh};
        const Element target = fresh->element("window");
        std::variant<std::string, AXError> actual;
        try {
            actual = row.read(live, row.attribute, target);
        } catch (const AccessibilityError& error) {
            actual = error.code;
        }
        EXPECT_EQ(actual, row.expected);
    }
}

TEST_F(LiveAccessibilityCallsTests, WritesBoxTheirValuesAndPassCodesThrough) {
    backend->setValue("window", "AXPosition", AXValue(CGPoint{0, 0}));
    backend->setValue("window", "AXSize", AXValue(CGSize{1, 1}));
    backend->setValue("window", "AXEnhancedUserInterface", true);

    calls.setSize(A::size, CGSize{640, 480.5}, window);
    calls.setPoint(A::position, CGPoint{-10, 20}, window);
    calls.setBool(A::enhancedUserInterface, false, window);
    EXPECT_THAT(backend->calls(),
                ElementsAre("set window AXSize size(640, 480.5)", "set window AXPosition point(-10, 20)",
                            "set window AXEnhancedUserInterface false"));

    for (const AXError code :
         {AXError::cannotComplete, AXError::invalidUIElement, AXError::failure, AXError{-25299}}) {
        backend->setWriteError("window", "AXPosition", code);
        try {
            calls.setPoint(A::position, CGPoint{1, 2}, window);
            ADD_FAILURE() << "write with code " << rawCode(code) << " did not throw";
        } catch (const AccessibilityError& error) {
            EXPECT_EQ(error.code, code);
        }
    }
    EXPECT_THROW(calls.setBool(A::modal, true, window), AccessibilityError);
}

TEST_F(LiveAccessibilityCallsTests, SetsTheMessagingTimeoutOnTheSystemWideElementAndNeverFails) {
    calls.setMessagingTimeout(1.5F);
    EXPECT_THAT(backend->calls(), ElementsAre("systemWide", "timeout systemWide 1.5"));
    EXPECT_EQ(backend->messagingTimeout("systemWide"), 1.5F);

    backend->setTimeoutResult(AXError::illegalArgument);
    EXPECT_NO_THROW(calls.setMessagingTimeout(-1.0F));
    EXPECT_NO_THROW(calls.setMessagingTimeout(std::numeric_limits<float>::quiet_NaN()));
    EXPECT_NO_THROW(calls.setMessagingTimeout(std::numeric_limits<float>::infinity()));
    EXPECT_EQ(backend->messagingTimeout("systemWide"), 1.5F);
}

TEST_F(LiveAccessibilityCallsTests, AsksTrustAndMakesApplicationElements) {
    backend->setApplicationName(4242, "editor");
    EXPECT_EQ(ScriptedAccessibilityBackend::nameOf(calls.application(4242)), "editor");
    EXPECT_TRUE(calls.isProcessTrusted());
    backend->setTrusted(false);
    EXPECT_FALSE(calls.isProcessTrusted());
}

TEST(LiveAccessibilityCallsConstructionTests, RefusesAMissingBackend) {
    EXPECT_THROW(LiveAccessibilityCalls(nullptr), std::invalid_argument);
}

} // namespace
} // namespace tidewright
