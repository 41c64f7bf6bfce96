// The hot-key service with the screen-reader source over the real assistive-technology launcher:
// turning the screen reader on withdraws every hot key, turning it off binds them again.

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <unordered_set>

#include "platform/concurrency/MainExecutor.hpp"
#include "platform/hotkeys/FakeHotkeyBackend.hpp"
#include "platform/screenreader/AtspiLauncher.hpp"
#include "platform/screenreader/AtspiScreenReaderStatus.hpp"
#include "tidewright/windowcontrol/CarbonHotkeyRegistrar.hpp"
#include "tidewright/windowcontrol/HotkeyService.hpp"
#include "tidewright/windowcontrol/WorkspaceVoiceOverSource.hpp"

namespace tidewright {
namespace {

TEST(HotkeyScreenReaderTest, TheScreenReaderWithdrawsAndReturnsEveryHotKey) {
    int argc = 1;
    char name[] = "HotkeyScreenReaderTests";
    char* argv[] = {name, nullptr};
    QCoreApplication application(argc, argv);
    platform::MainExecutor executor;
    platform::testing::PrivateSessionBus bus;
    platform::testing::AtspiLauncher launcher(bus);
    launcher.start();

    platform::AtspiScreenReaderStatus status(launcher.connect());
    platform::FakeHotkeyBackend backend;
    auto source = WorkspaceVoiceOverSource::make(status, executor);
    auto service = HotkeyService::make(std::make_shared<CarbonHotkeyRegistrar>(backend), source);
    service->apply(std::unordered_set<FixedShortcut>(allFixedShortcuts.begin(), allFixedShortcuts.end()));
    ASSERT_EQ(backend.hotKeys().size(), 6u);

    // Runs the loop until the service reports a change, and answers how its registrations stand.
    auto afterChange = [&] {
        QEventLoop loop;
        service->onChange = [&] {
            loop.quit();
        };
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        service->onChange = nullptr;
        HotkeyService::Registrations registrations = service->registrations();
        return registrations;
    };
    HotkeyService::Registrations unavailable, registered;
    for (FixedShortcut shortcut : allFixedShortcuts) {
        unavailable[shortcut] = ShortcutRegistration::unavailable;
        registered[shortcut] = ShortcutRegistration::registered;
    }

    ASSERT_TRUE(launcher.setScreenReader(true));
    EXPECT_EQ(afterChange(), unavailable);
    EXPECT_TRUE(backend.hotKeys().empty());

    ASSERT_TRUE(launcher.setScreenReader(false));
    EXPECT_EQ(afterChange(), registered);
    EXPECT_EQ(backend.hotKeys().size(), 6u);

    // The service going away counts as the reader going away.
    ASSERT_TRUE(launcher.setScreenReader(true));
    EXPECT_EQ(afterChange(), unavailable);
    launcher.stop();
    EXPECT_EQ(afterChange(), registered);
}

} // namespace
} // namespace tidewright
