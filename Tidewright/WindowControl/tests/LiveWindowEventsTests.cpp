#include "tidewright/windowcontrol/AccessibilityWindowEvents.hpp"
#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"

#include "platform/accessibility/AccessibilityNames.hpp"
#include "platform/accessibility/ScriptedAccessibilityBackend.hpp"

#include "ScriptedWindows.hpp"
#include "WindowControlTestSupport.hpp"

#include <chrono>
#include <memory>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidewright {
namespace {

namespace ax = platform::ax;
using platform::AXError;
using platform::AXValue;
using platform::CGPoint;
using platform::CGSize;
using platform::rawCode;
using std::chrono::milliseconds;
using std::chrono::seconds;
using ::testing::ElementsAre;

// The window logic over the live call layer, on a scripted platform: a write is read back through
// the same backend, as a transport operation and its follow-up read would see it.
class LiveWindowEventsTests : public ::testing::Test {
protected:
    void SetUp() override {
        backend->setApplicationName(42, "app");
        backend->setValue("app", ax::frontmostAttribute, true);
        backend->setNoValue("app", ax::mainWindowAttribute);
        backend->setValue("app", ax::focusedWindowAttribute, backend->element("window"));
        backend->setValue("app", ax::enhancedUserInterfaceAttribute, true);
        scriptStandardWindow(*backend, "window", frameOf(10, 20, 800, 600));
    }

    AccessibilityWindowEvents<LiveAccessibilityCalls> events(bool restores) const {
        return {LiveAccessibilityCalls(backend), now + milliseconds(1500), permit, restores, [this] {
                    return now;
                }};
    }

    std::shared_ptr<platform::ScriptedAccessibilityBackend> backend =
        std::make_shared<platform::ScriptedAccessibilityBackend>();
    std::shared_ptr<WindowOperationPermit> permit = std::make_shared<WindowOperationPermit>();
    ContinuousInstant now{seconds(100)};
};

TEST_F(LiveWindowEventsTests, MovesTheFocusedWindowAndReadsTheNewFrameBack) {
    const DesktopFrame before = frameOf(10, 20, 800, 600);
    const DesktopFrame target = frameOf(0, 0, 960, 1080);
    ASSERT_EQ(events(false).mainWindowFrame(42), before);
    EXPECT_EQ(backend->messagingTimeout("systemWide"), 1.5F);

    backend->clearCalls();
    events(false).setFrame(42, before, target);
    EXPECT_EQ(events(false).mainWindowFrame(42), target);
    EXPECT_EQ(std::get<bool>(*backend->value("app", ax::enhancedUserInterfaceAttribute)), false);

    std::vector<std::string> writes;
    for (const std::string& call : backend->calls()) {
        if (call.rfind("set ", 0) == 0) {
            writes.push_back(call);
        }
    }
    EXPECT_THAT(writes,
                ElementsAre("set app AXEnhancedUserInterface false", "set window AXSize size(960, 1080)",
                            "set window AXPosition point(0, 0)", "set window AXSize size(960, 1080)"));
}

TEST_F(LiveWindowEventsTests, ReportsAWindowThatIsGoneAndOneThatCannotAnswer) {
    backend->setError("window", ax::positionAttribute, AXError::invalidUIElement);
    EXPECT_EQ(failureOf([&] { events(true).mainWindowFrame(42); }),
              WindowOperationFailure::noUniqueEligibleWindow());
    backend->setError("window", ax::positionAttribute, AXError::cannotComplete);
    EXPECT_EQ(failureOf([&] { events(true).mainWindowFrame(42); }),
              WindowOperationFailure::transport(rawCode(AXError::cannotComplete)));
    backend->setTrusted(false);
    EXPECT_EQ(failureOf([&] { events(true).mainWindowFrame(42); }), WindowOperationFailure::invalidated());
}

} // namespace
} // namespace tidewright
