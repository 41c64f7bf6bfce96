// The X11 hot-key backend's answers on a private X server: what it refuses to bind and why, and
// which references and events it does not know.

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/concurrency/MainExecutor.hpp"
#include "platform/hotkeys/X11HotkeyBackend.hpp"
#include "platform/testing/X11TestWorld.hpp"

namespace platform {
namespace {

constexpr FourCharCode tide = fourCharCode("TIDE");

TEST(X11HotkeyBackendTest, AnswersEachRegistrationWithThePlatformsStatus) {
    int argc = 1;
    char name[] = "PlatformHotkeysTests";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    MainExecutor executor;
    testing::X11TestWorld world(testing::X11TestWorld::Options{.windowManager = false});
    X11HotkeyBackend backend(world.display(), executor);

    struct Case {
        const char* name;
        std::uint32_t keyCode;
        std::uint32_t modifiers;
        HotkeyStatus status;
    };
    const Case cases[] = {
        {"control+option+left", keyCodeLeftArrow, controlKey | optionKey, noErr},
        {"the same again", keyCodeLeftArrow, controlKey | optionKey, eventHotKeyExistsErr},
        {"other modifiers", keyCodeLeftArrow, controlKey | shiftKey, noErr},
        {"command (Super)", keyCodeC, cmdKey | optionKey, noErr},
        {"no modifiers", keyCodeD, 0, noErr},
        {"a key outside the table", 0, controlKey, eventHotKeyInvalidErr},
        {"a modifier bit of no key", keyCodeUpArrow, controlKey | 0x4000, eventHotKeyInvalidErr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EventHotKeyRef reference = 0;
        EXPECT_EQ(backend.registerEventHotKey(c.keyCode, c.modifiers, {tide, 1}, reference), c.status);
        EXPECT_EQ(reference != 0, c.status == noErr);
    }

    EXPECT_EQ(backend.unregisterEventHotKey(12345), paramErr);
    EXPECT_EQ(backend.removeEventHandler(12345), paramErr);
    EventHandlerRef handler = 0;
    EXPECT_EQ(backend.installEventHandler(nullptr, nullptr, handler), paramErr);

    EventHotKeyID id;
    EXPECT_EQ(backend.hotKeyID(nullptr, id), paramErr);
    const HotkeyEvent foreign;
    EXPECT_EQ(backend.hotKeyID(&foreign, id), eventParameterNotFoundErr);
}

} // namespace
} // namespace platform
