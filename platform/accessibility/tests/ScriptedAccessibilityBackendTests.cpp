#include "platform/accessibility/AccessibilityNames.hpp"
#include "platform/accessibility/ScriptedAccessibilityBackend.hpp"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace platform {
namespace {

using ::testing::ElementsAre;

TEST(AXValueTests, UnpacksOnlyItsOwnType) {
    const AXValue point(CGPoint{1, 2});
    EXPECT_EQ(point.type(), AXValueType::cgPoint);
    EXPECT_EQ(point.point(), (CGPoint{1, 2}));
    EXPECT_EQ(point.size(), std::nullopt);

    const AXValue size(CGSize{3, 4});
    EXPECT_EQ(size.type(), AXValueType::cgSize);
    EXPECT_EQ(size.size(), (CGSize{3, 4}));
    EXPECT_EQ(size.point(), std::nullopt);

    EXPECT_EQ(AXValue(CGRect{{1, 2}, {3, 4}}).type(), AXValueType::cgRect);
    EXPECT_NE(AXValue(CGPoint{1, 2}), AXValue(CGSize{1, 2}));
}

TEST(AXUIElementTests, RefusesANullObject) {
    EXPECT_THROW(AXUIElement(nullptr), std::invalid_argument);
}

TEST(ScriptedAccessibilityBackendTests, ElementsOfOneNameAreOneElement) {
    ScriptedAccessibilityBackend backend;
    backend.setApplicationName(42, "app");
    const AXUIElement application = backend.createApplication(42);
    EXPECT_EQ(application.object(), backend.element("app").object());
    EXPECT_EQ(ScriptedAccessibilityBackend::nameOf(backend.createApplication(7)), "application 7");
    EXPECT_EQ(ScriptedAccessibilityBackend::nameOf(backend.createSystemWide()), "systemWide");
}

TEST(ScriptedAccessibilityBackendTests, AnswersWhatWasScripted) {
    ScriptedAccessibilityBackend backend;
    const AXUIElement window = backend.element("window");
    backend.setValue("window", ax::roleAttribute, std::string(ax::windowRole));
    backend.setNoValue("window", ax::subroleAttribute);
    backend.setError("window", ax::modalAttribute, AXError::cannotComplete);

    std::optional<AXAttributeValue> value;
    EXPECT_EQ(backend.copyAttributeValue(window, ax::roleAttribute, value), AXError::success);
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(std::get<std::string>(*value), "AXWindow");

    value.reset();
    EXPECT_EQ(backend.copyAttributeValue(window, ax::subroleAttribute, value), AXError::success);
    EXPECT_FALSE(value.has_value());

    EXPECT_EQ(backend.copyAttributeValue(window, ax::modalAttribute, value), AXError::cannotComplete);
    EXPECT_EQ(backend.copyAttributeValue(window, ax::minimizedAttribute, value),
              AXError::attributeUnsupported);
}

TEST(ScriptedAccessibilityBackendTests, CountsArraysOnly) {
    ScriptedAccessibilityBackend backend;
    const AXUIElement application = backend.element("app");
    backend.setValue("app", ax::windowsAttribute, AXElementArray{backend.element("a"), backend.element("b")});
    backend.setValue("app", ax::frontmostAttribute, true);
    backend.setNoValue("app", ax::mainWindowAttribute);

    std::int64_t count = -1;
    EXPECT_EQ(backend.getAttributeValueCount(application, ax::windowsAttribute, count), AXError::success);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(backend.getAttributeValueCount(application, ax::frontmostAttribute, count),
              AXError::illegalArgument);
    EXPECT_EQ(backend.getAttributeValueCount(application, ax::mainWindowAttribute, count), AXError::noValue);
    backend.setCount("app", ax::windowsAttribute, -1);
    EXPECT_EQ(backend.getAttributeValueCount(application, ax::windowsAttribute, count), AXError::success);
    EXPECT_EQ(count, -1);
}

TEST(ScriptedAccessibilityBackendTests, AWriteIsReadBackAndAFailedWriteChangesNothing) {
    ScriptedAccessibilityBackend backend;
    const AXUIElement window = backend.element("window");
    backend.setValue("window", ax::sizeAttribute, AXValue(CGSize{100, 50}));
    backend.setValue("window", ax::positionAttribute, AXValue(CGPoint{0, 0}));
    backend.setWriteError("window", ax::positionAttribute, AXError::cannotComplete);

    EXPECT_EQ(backend.setAttributeValue(window, ax::sizeAttribute, AXValue(CGSize{300, 200})),
              AXError::success);
    EXPECT_EQ(std::get<AXValue>(*backend.value("window", ax::sizeAttribute)), AXValue(CGSize{300, 200}));

    EXPECT_EQ(backend.setAttributeValue(window, ax::positionAttribute, AXValue(CGPoint{5, 6})),
              AXError::cannotComplete);
    EXPECT_EQ(std::get<AXValue>(*backend.value("window", ax::positionAttribute)), AXValue(CGPoint{0, 0}));

    EXPECT_EQ(backend.setAttributeValue(window, ax::modalAttribute, false), AXError::attributeUnsupported);
}

TEST(ScriptedAccessibilityBackendTests, RefusesAWriteOfTheWrongTypeAndKeepsTheValue) {
    ScriptedAccessibilityBackend backend;
    const AXUIElement window = backend.element("window");
    const AXUIElement application = backend.element("app");
    backend.setValue("window", ax::positionAttribute, AXValue(CGPoint{1, 2}));
    backend.setValue("window", ax::sizeAttribute, AXValue(CGSize{100, 50}));
    backend.setValue("app", ax::enhancedUserInterfaceAttribute, true);

    struct Row {
        const AXUIElement& element;
        std::string_view attribute;
        AXAttributeValue written;
    };
    const std::vector<Row> rows{
        {window, ax::positionAttribute, AXValue(CGSize{3, 4})},
        {window, ax::positionAttribute, AXValue(CGRect{{1, 2}, {3, 4}})},
        {window, ax::positionAttribute, true},
        {window, ax::sizeAttribute, AXValue(CGPoint{3, 4})},
        {window, ax::sizeAttribute, 640.0},
        {application, ax::enhancedUserInterfaceAttribute, 0.0},
        {application, ax::enhancedUserInterfaceAttribute, std::string("false")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(describe(row.written));
        EXPECT_EQ(backend.setAttributeValue(row.element, row.attribute, row.written),
                  AXError::illegalArgument);
    }
    EXPECT_EQ(std::get<AXValue>(*backend.value("window", ax::positionAttribute)), AXValue(CGPoint{1, 2}));
    EXPECT_EQ(std::get<AXValue>(*backend.value("window", ax::sizeAttribute)), AXValue(CGSize{100, 50}));
    EXPECT_EQ(std::get<bool>(*backend.value("app", ax::enhancedUserInterfaceAttribute)), true);
}

TEST(ScriptedAccessibilityBackendTests, LogsEveryCallInOrder) {
    ScriptedAccessibilityBackend backend;
    backend.setValue("window", ax::sizeAttribute, AXValue(CGSize{100, 50}));
    backend.setSettable("window", ax::sizeAttribute, true);
    const AXUIElement window = backend.element("window");

    backend.isProcessTrusted();
    EXPECT_EQ(backend.setMessagingTimeout(backend.createSystemWide(), 1.5F), AXError::success);
    std::optional<AXAttributeValue> value;
    backend.copyAttributeValue(window, ax::sizeAttribute, value);
    bool settable = false;
    EXPECT_EQ(backend.isAttributeSettable(window, ax::sizeAttribute, settable), AXError::success);
    EXPECT_TRUE(settable);
    backend.setAttributeValue(window, ax::sizeAttribute, AXValue(CGSize{3, 4}));

    EXPECT_THAT(backend.calls(),
                ElementsAre("trusted", "systemWide", "timeout systemWide 1.5", "copy window AXSize",
                            "settable window AXSize", "set window AXSize size(3, 4)"));
    EXPECT_EQ(backend.messagingTimeout("systemWide"), 1.5F);
}

} // namespace
} // namespace platform
