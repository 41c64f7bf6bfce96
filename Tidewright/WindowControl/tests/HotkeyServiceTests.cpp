// The hot-key service and the registrar over the in-memory platform backend: what is bound with
// which key code, modifiers and identifier, how the screen reader withdraws everything, and which
// presses get through.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "platform/hotkeys/FakeHotkeyBackend.hpp"
#include "tidewright/windowcontrol/CarbonHotkeyRegistrar.hpp"
#include "tidewright/windowcontrol/HotkeyService.hpp"

#include "HotkeyTestSupport.hpp"

namespace tidewright {
namespace {

using platform::EventHotKeyID;
using platform::FakeHotkeyBackend;
using Call = FakeHotkeyBackend::Call;
using Kind = FakeHotkeyBackend::Call::Kind;
using Registrations = HotkeyService::Registrations;

constexpr platform::FourCharCode tide = platform::fourCharCode("TIDE");
const std::unordered_set<FixedShortcut> everyShortcut(allFixedShortcuts.begin(), allFixedShortcuts.end());

Registrations allAs(ShortcutRegistration state) {
    Registrations result;
    for (FixedShortcut shortcut : allFixedShortcuts) {
        result[shortcut] = state;
    }
    return result;
}

std::vector<FakeHotkeyBackend::HotKey> sixHotKeys() {
    return {{123, 0x1800, {tide, 1}}, {124, 0x1800, {tide, 2}}, {126, 0x1800, {tide, 3}},
            {2, 0x1800, {tide, 4}},   {125, 0x1800, {tide, 5}}, {8, 0x1800, {tide, 6}}};
}

class HotkeyServiceTest : public ::testing::Test {
protected:
    HotkeyServiceTest() {
        auto registrar = std::make_shared<CarbonHotkeyRegistrar>(backend);
        auto source = std::make_shared<FakeVoiceOver>();
        voiceOver = source.get();
        service = HotkeyService::make(registrar, source);
        service->onShortcut = [this](FixedShortcut shortcut) {
            presses.push_back(shortcut);
        };
        service->onChange = [this] {
            ++changes;
        };
    }

    void turnVoiceOver(bool on) {
        voiceOver->enabled = on;
        voiceOver->report();
    }

    FakeHotkeyBackend backend;
    FakeVoiceOver* voiceOver = nullptr;
    std::shared_ptr<HotkeyService> service;
    std::vector<FixedShortcut> presses;
    int changes = 0;
};

TEST_F(HotkeyServiceTest, RegistersTheSixHotKeysInOrderWithOneHandler) {
    service->apply(everyShortcut);

    EXPECT_EQ(backend.hotKeys(), sixHotKeys());
    EXPECT_EQ(backend.handlerCount(), 1u);
    ASSERT_FALSE(backend.calls().empty());
    EXPECT_EQ(backend.calls().front().kind, Kind::installEventHandler);
    EXPECT_EQ(service->registrations(), allAs(ShortcutRegistration::registered));
    EXPECT_EQ(voiceOver->starts, 1);
}

TEST_F(HotkeyServiceTest, ScreenReaderOnAtFirstApplyRegistersNothing) {
    voiceOver->enabled = true;
    service->apply(everyShortcut);

    EXPECT_TRUE(backend.hotKeys().empty());
    EXPECT_EQ(backend.handlerCount(), 0u);
    EXPECT_EQ(service->registrations(), allAs(ShortcutRegistration::unavailable));
    EXPECT_EQ(changes, 0);
}

TEST_F(HotkeyServiceTest, ScreenReaderWithdrawsEveryHotKeyAndGivesThemBack) {
    service->apply(everyShortcut);

    turnVoiceOver(true);
    EXPECT_TRUE(backend.hotKeys().empty());
    EXPECT_EQ(backend.handlerCount(), 0u);
    EXPECT_EQ(service->registrations(), allAs(ShortcutRegistration::unavailable));
    EXPECT_EQ(changes, 1);

    turnVoiceOver(false);
    EXPECT_EQ(backend.hotKeys(), sixHotKeys());
    EXPECT_EQ(service->registrations(), allAs(ShortcutRegistration::registered));
    EXPECT_EQ(changes, 2);
}

TEST_F(HotkeyServiceTest, ReportsWithoutAChangeOfStateDoNothing) {
    service->apply(everyShortcut);
    backend.clearCalls();

    voiceOver->report();
    EXPECT_TRUE(backend.calls().empty());
    EXPECT_EQ(changes, 0);
}

TEST_F(HotkeyServiceTest, TheSameSetAgainMakesNoPlatformCall) {
    service->apply(everyShortcut);
    backend.clearCalls();

    service->apply(everyShortcut);
    EXPECT_TRUE(backend.calls().empty());
}

TEST_F(HotkeyServiceTest, ScreenReaderIsReadOnlyAtTheFirstApply) {
    service->apply(everyShortcut);
    voiceOver->enabled = true; // changed without a report
    service->apply(everyShortcut);

    EXPECT_EQ(service->registrations(), allAs(ShortcutRegistration::registered));
    EXPECT_EQ(voiceOver->starts, 1);
}

TEST_F(HotkeyServiceTest, DroppingShortcutsWithdrawsThemAndTheLastTakesTheHandler) {
    service->apply(everyShortcut);
    service->apply({FixedShortcut::d});
    EXPECT_EQ(backend.hotKeys(), (std::vector<FakeHotkeyBackend::HotKey>{{2, 0x1800, {tide, 4}}}));
    EXPECT_EQ(service->registrations(),
              (Registrations{{FixedShortcut::d, ShortcutRegistration::registered}}));
    EXPECT_EQ(backend.handlerCount(), 1u);

    backend.clearCalls();
    service->apply({});
    EXPECT_EQ(backend.calls(), (std::vector<Call>{{Kind::unregisterEventHotKey, 0, 0, {tide, 4}},
                                                  {Kind::removeEventHandler}}));
    EXPECT_TRUE(service->registrations().empty());
}

TEST_F(HotkeyServiceTest, ARefusalStaysUntilTheScreenReaderChanges) {
    backend.refuse(platform::keyCodeD);
    service->apply(everyShortcut);
    Registrations expected = allAs(ShortcutRegistration::registered);
    expected[FixedShortcut::d] = ShortcutRegistration::unavailable;
    EXPECT_EQ(service->registrations(), expected);

    // The combination is free now, but nothing is tried again on an ordinary apply.
    backend.allow(platform::keyCodeD);
    backend.clearCalls();
    service->apply(everyShortcut);
    EXPECT_TRUE(backend.calls().empty());
    EXPECT_EQ(service->registrations(), expected);

    turnVoiceOver(true);
    turnVoiceOver(false);
    EXPECT_EQ(service->registrations(), allAs(ShortcutRegistration::registered));
}

TEST_F(HotkeyServiceTest, ARefusalStaysUntilStop) {
    backend.refuse(platform::keyCodeC);
    service->apply(everyShortcut);
    EXPECT_EQ(service->registrations().at(FixedShortcut::c), ShortcutRegistration::unavailable);

    backend.allow(platform::keyCodeC);
    service->stop();
    EXPECT_TRUE(service->registrations().empty());
    EXPECT_TRUE(backend.hotKeys().empty());
    EXPECT_EQ(backend.handlerCount(), 0u);
    EXPECT_EQ(voiceOver->stops, 1);

    service->apply(everyShortcut);
    EXPECT_EQ(service->registrations(), allAs(ShortcutRegistration::registered));
    EXPECT_EQ(voiceOver->starts, 2);
}

TEST_F(HotkeyServiceTest, AReportAfterStopDoesNothing) {
    service->apply(everyShortcut);
    service->stop();
    backend.clearCalls();

    turnVoiceOver(true);
    EXPECT_TRUE(backend.calls().empty());
    EXPECT_TRUE(service->registrations().empty());
    EXPECT_EQ(changes, 0);
}

TEST_F(HotkeyServiceTest, ForwardsOnlyPressesOfRegisteredHotKeys) {
    backend.refuse(platform::keyCodeUpArrow);
    service->apply({FixedShortcut::left, FixedShortcut::up});

    EXPECT_EQ(backend.press(EventHotKeyID{tide, 1}), platform::noErr);
    // Up was refused, so the platform never bound it: a press of it is someone else's.
    EXPECT_EQ(backend.press(EventHotKeyID{tide, 3}), platform::eventNotHandledErr);
    EXPECT_EQ(presses, std::vector<FixedShortcut>{FixedShortcut::left});
}

TEST_F(HotkeyServiceTest, APressWhileWithdrawnIsNotForwarded) {
    service->apply(everyShortcut);
    turnVoiceOver(true);

    EXPECT_EQ(backend.press(EventHotKeyID{tide, 1}), platform::eventNotHandledErr);
    EXPECT_TRUE(presses.empty());
}

TEST_F(HotkeyServiceTest, APressAfterTheServiceIsGoneIsHarmless) {
    auto registrar = std::make_shared<CarbonHotkeyRegistrar>(backend);
    {
        auto other = HotkeyService::make(registrar, std::make_shared<FakeVoiceOver>());
        other->apply(everyShortcut);
    }
    EXPECT_EQ(backend.press(EventHotKeyID{tide, 2}), platform::noErr);
}

class CarbonHotkeyRegistrarTest : public ::testing::Test {
protected:
    CarbonHotkeyRegistrarTest() {
        registrar.onShortcut = [this](FixedShortcut shortcut) {
            presses.push_back(shortcut);
        };
    }
    FakeHotkeyBackend backend;
    CarbonHotkeyRegistrar registrar{backend};
    std::vector<FixedShortcut> presses;
};

TEST_F(CarbonHotkeyRegistrarTest, AnswersOnlyPressesOfItsOwnHotKeys) {
    for (FixedShortcut shortcut : allFixedShortcuts) {
        ASSERT_TRUE(registrar.registerShortcut(shortcut));
    }
    registrar.unregisterShortcut(FixedShortcut::c);

    struct Case {
        const char* name;
        std::optional<EventHotKeyID> id;
        platform::HotkeyStatus status;
        std::optional<FixedShortcut> forwarded;
    };
    const Case cases[] = {
        {"first", EventHotKeyID{tide, 1}, platform::noErr, FixedShortcut::left},
        {"d", EventHotKeyID{tide, 4}, platform::noErr, FixedShortcut::d},
        {"down", EventHotKeyID{tide, 5}, platform::noErr, FixedShortcut::down},
        {"unregistered c", EventHotKeyID{tide, 6}, platform::eventNotHandledErr, std::nullopt},
        {"id 0", EventHotKeyID{tide, 0}, platform::eventNotHandledErr, std::nullopt},
        {"id 7", EventHotKeyID{tide, 7}, platform::eventNotHandledErr, std::nullopt},
        {"huge id", EventHotKeyID{tide, 0xffffffffu}, platform::eventNotHandledErr, std::nullopt},
        {"foreign signature", EventHotKeyID{platform::fourCharCode("TIDF"), 1}, platform::eventNotHandledErr,
         std::nullopt},
        {"unreadable identifier", std::nullopt, platform::eventNotHandledErr, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        presses.clear();
        EXPECT_EQ(backend.press(c.id), c.status);
        EXPECT_EQ(presses,
                  c.forwarded ? std::vector<FixedShortcut>{*c.forwarded} : std::vector<FixedShortcut>{});
    }
    presses.clear();
    EXPECT_EQ(backend.pressWithoutEvent(), platform::eventNotHandledErr);
    EXPECT_EQ(CarbonHotkeyRegistrar::handlePress(nullptr, &registrar), platform::eventNotHandledErr);
    EXPECT_TRUE(presses.empty());
}

TEST_F(CarbonHotkeyRegistrarTest, RegisteringTwiceBindsOnce) {
    ASSERT_TRUE(registrar.registerShortcut(FixedShortcut::up));
    backend.clearCalls();
    EXPECT_TRUE(registrar.registerShortcut(FixedShortcut::up));
    EXPECT_TRUE(backend.calls().empty());
}

TEST(CarbonHotkeyRegistrarFailureTest, AFailedFirstRegistrationLeavesNoHandler) {
    struct Case {
        const char* name;
        std::function<void(FakeHotkeyBackend&)> fault;
    };
    const Case cases[] = {
        {"refused",
         [](FakeHotkeyBackend& b) {
             b.refuse(platform::keyCodeLeftArrow);
         }},
        {"invalid key",
         [](FakeHotkeyBackend& b) {
             b.refuse(platform::keyCodeLeftArrow, platform::eventHotKeyInvalidErr);
         }},
        {"no reference",
         [](FakeHotkeyBackend& b) {
             b.withholdReferences(true);
         }},
        {"handler refused",
         [](FakeHotkeyBackend& b) {
             b.failNextInstall(platform::paramErr);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeHotkeyBackend backend;
        c.fault(backend);
        CarbonHotkeyRegistrar registrar(backend);
        EXPECT_FALSE(registrar.registerShortcut(FixedShortcut::left));
        EXPECT_EQ(backend.handlerCount(), 0u);
        // Nothing registered, so a press is not this registrar's.
        EXPECT_EQ(backend.press(EventHotKeyID{tide, 1}), platform::eventNotHandledErr);
    }
}

TEST_F(CarbonHotkeyRegistrarTest, ARefusalBesideRegisteredKeysKeepsTheHandler) {
    ASSERT_TRUE(registrar.registerShortcut(FixedShortcut::left));
    backend.refuse(platform::keyCodeRightArrow);
    EXPECT_FALSE(registrar.registerShortcut(FixedShortcut::right));
    EXPECT_EQ(backend.handlerCount(), 1u);
    EXPECT_EQ(backend.press(EventHotKeyID{tide, 1}), platform::noErr);
}

TEST_F(CarbonHotkeyRegistrarTest, UnregisteringWhatIsNotRegisteredDoesNothing) {
    registrar.unregisterShortcut(FixedShortcut::d);
    registrar.unregisterAll();
    EXPECT_TRUE(backend.calls().empty());
}

TEST_F(CarbonHotkeyRegistrarTest, DestructionUnbindsEverything) {
    {
        CarbonHotkeyRegistrar local(backend);
        ASSERT_TRUE(local.registerShortcut(FixedShortcut::left));
        ASSERT_TRUE(local.registerShortcut(FixedShortcut::c));
    }
    EXPECT_TRUE(backend.hotKeys().empty());
    EXPECT_EQ(backend.handlerCount(), 0u);
}

} // namespace
} // namespace tidewright
