// The hot-key service over the live X11 backend on a private X server: synthetic key presses from
// another client reach onShortcut on the main thread, whatever the lock keys; a combination that
// another client holds is unavailable and nothing of it stays grabbed; a held key gives one press;
// a keymap change moves the grabs with the keys.

#include <QCoreApplication>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "platform/concurrency/MainExecutor.hpp"
#include "platform/hotkeys/ForeignKeyGrab.hpp"
#include "platform/hotkeys/X11HotkeyBackend.hpp"
#include "platform/testing/ChildProcess.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/windowcontrol/CarbonHotkeyRegistrar.hpp"
#include "tidewright/windowcontrol/HotkeyService.hpp"

#include "HotkeyTestSupport.hpp"

namespace tidewright {
namespace {

using namespace std::chrono_literals;
using platform::testing::ForeignKeyGrab;
using Shortcuts = std::vector<FixedShortcut>;

constexpr std::uint32_t keysymD = 0x64;
const std::unordered_set<FixedShortcut> everyShortcut(allFixedShortcuts.begin(), allFixedShortcuts.end());
const char* const combinations[] = {"ctrl+alt+Left", "ctrl+alt+Right", "ctrl+alt+Up",
                                    "ctrl+alt+d",    "ctrl+alt+Down",  "ctrl+alt+c"};

class LiveHotkeyTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "LiveHotkeyTests";
        static char* argv[] = {name, nullptr};
        application = new QCoreApplication(argc, argv);
    }
    static void TearDownTestSuite() {
        delete application;
        application = nullptr;
    }

    LiveHotkeyTest() {
        service = HotkeyService::make(std::make_shared<CarbonHotkeyRegistrar>(backend),
                                      std::make_shared<FakeVoiceOver>());
        service->onShortcut = [this](FixedShortcut shortcut) {
            if (QThread::currentThread() != application->thread()) {
                ADD_FAILURE() << "a press arrived off the main thread";
            }
            presses.push_back(shortcut);
            if (loop != nullptr && presses.size() >= awaited) {
                loop->quit();
            }
        };
    }

    // Runs a program on the test's display to its end.
    void run(std::vector<std::string> arguments) {
        platform::testing::ChildProcess::Options options;
        options.environment = {{"DISPLAY", world.display()}};
        options.quiet = true;
        platform::testing::ChildProcess process(arguments, options);
        ASSERT_EQ(process.waitForExit(10s), 0) << arguments.front() << " " << arguments.back();
    }
    void press(const std::string& combination) { run({"xdotool", "key", combination}); }

    // Runs the loop until count presses in all have arrived, or a safety limit passed.
    Shortcuts waitForPresses(std::size_t count) {
        QEventLoop waiting;
        loop = &waiting;
        awaited = count;
        if (presses.size() < count) {
            QTimer::singleShot(5000, &waiting, &QEventLoop::quit);
            waiting.exec();
        }
        loop = nullptr;
        return presses;
    }

    static inline QCoreApplication* application = nullptr;
    platform::MainExecutor executor;
    platform::testing::X11TestWorld world;
    platform::X11HotkeyBackend backend{world.display(), executor};
    std::shared_ptr<HotkeyService> service;
    Shortcuts presses;
    QEventLoop* loop = nullptr;
    std::size_t awaited = 0;
};

TEST_F(LiveHotkeyTest, EveryHotKeyArrivesWhateverTheLockKeys) {
    service->apply(everyShortcut);
    ASSERT_EQ(service->registrations().size(), 6u);
    for (const auto& [shortcut, state] : service->registrations()) {
        ASSERT_EQ(state, ShortcutRegistration::registered) << rawValue(shortcut);
    }

    const std::vector<std::vector<std::string>> lockStates = {
        {}, {"Num_Lock"}, {"Caps_Lock"}, {"Num_Lock", "Caps_Lock"}};
    for (const auto& locks : lockStates) {
        SCOPED_TRACE(locks.empty() ? "no lock"
                                   : locks.front() + (locks.size() > 1 ? "+" + locks.back() : ""));
        for (const std::string& lock : locks) {
            press(lock);
        }
        presses.clear();
        // Combinations that are not ours come first: had one been taken, it would lead the list.
        press("ctrl+Left");
        press("alt+Left");
        press("ctrl+alt+shift+Left");
        press("ctrl+alt+x");
        for (const char* combination : combinations) {
            press(combination);
        }
        EXPECT_EQ(waitForPresses(6), Shortcuts(allFixedShortcuts.begin(), allFixedShortcuts.end()));
        for (const std::string& lock : locks) {
            press(lock);
        }
    }
}

TEST_F(LiveHotkeyTest, ACombinationHeldElsewhereIsUnavailableAndLeavesNothingGrabbed) {
    auto other = std::make_unique<ForeignKeyGrab>(world.display());
    ASSERT_TRUE(other->grab(keysymD, ForeignKeyGrab::control | ForeignKeyGrab::mod1));

    service->apply(everyShortcut);
    for (FixedShortcut shortcut : allFixedShortcuts) {
        EXPECT_EQ(service->registrations().at(shortcut), shortcut == FixedShortcut::d
                                                             ? ShortcutRegistration::unavailable
                                                             : ShortcutRegistration::registered)
            << rawValue(shortcut);
    }
    for (const char* combination : combinations) {
        press(combination);
    }
    EXPECT_EQ(waitForPresses(5), (Shortcuts{FixedShortcut::left, FixedShortcut::right, FixedShortcut::up,
                                            FixedShortcut::down, FixedShortcut::c}));

    // The lock-key variants that were granted before the refusal were given back.
    other.reset();
    ForeignKeyGrab probe(world.display());
    for (std::uint16_t lock : {ForeignKeyGrab::lock, ForeignKeyGrab::mod2,
                               static_cast<std::uint16_t>(ForeignKeyGrab::lock | ForeignKeyGrab::mod2)}) {
        EXPECT_TRUE(probe.grab(keysymD, ForeignKeyGrab::control | ForeignKeyGrab::mod1 | lock)) << lock;
    }
}

TEST_F(LiveHotkeyTest, AHeldKeyGivesOnePress) {
    service->apply(everyShortcut);
    // The keyboard repeats a held key after 20 ms, 50 times a second; the user holds Left for
    // 300 ms, long enough for a dozen repeats.
    run({"xset", "r", "rate", "20", "50"});
    run({"xdotool", "keydown", "ctrl+alt+Left", "sleep", "0.3", "keyup", "Left", "keyup", "ctrl+alt"});
    press("ctrl+alt+c");
    EXPECT_EQ(waitForPresses(2), (Shortcuts{FixedShortcut::left, FixedShortcut::c}));

    press("ctrl+alt+Left");
    EXPECT_EQ(waitForPresses(3), (Shortcuts{FixedShortcut::left, FixedShortcut::c, FixedShortcut::left}));
}

TEST_F(LiveHotkeyTest, AKeymapChangeMovesTheGrabsWithTheKeys) {
    service->apply(everyShortcut);
    int keymapChanges = 0;
    QEventLoop* waiting = nullptr;
    backend.setOnKeymapChange([&] {
        ++keymapChanges;
        if (waiting != nullptr) {
            waiting->quit();
        }
    });
    auto remap = [&](const std::string& expression) {
        const int before = keymapChanges;
        run({"xmodmap", "-e", expression});
        QEventLoop loop;
        waiting = &loop;
        if (keymapChanges == before) {
            QTimer::singleShot(5000, &loop, &QEventLoop::quit);
            loop.exec();
        }
        waiting = nullptr;
        ASSERT_GT(keymapChanges, before);
    };
    // D moves to another key: the key that gave it before gives x now.
    remap("keysym d = x X");
    remap("keycode 200 = d D");

    press("ctrl+alt+x");
    press("ctrl+alt+d");
    press("ctrl+alt+c");
    EXPECT_EQ(waitForPresses(2), (Shortcuts{FixedShortcut::d, FixedShortcut::c}));
}

} // namespace
} // namespace tidewright
