// The screen-reader status against the real assistive-technology launcher on a private session
// bus: first answer, change signals, the service coming and going, and never starting it.

#include <QCoreApplication>
#include <QDBusConnection>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "platform/screenreader/AtspiLauncher.hpp"
#include "platform/screenreader/AtspiScreenReaderStatus.hpp"

namespace platform {
namespace {

// Runs the loop until the status reads expected, re-checking on each of its change reports.
bool waitForValue(ScreenReaderStatus& status, bool expected) {
    QEventLoop loop;
    auto observation = status.observeVoiceOverEnabled([&] {
        if (status.isVoiceOverEnabled() == expected) {
            loop.quit();
        }
    });
    if (status.isVoiceOverEnabled() == expected) {
        return true;
    }
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    return status.isVoiceOverEnabled() == expected;
}

class AtspiScreenReaderStatusTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "PlatformScreenReaderTests";
        static char* argv[] = {name, nullptr};
        application = new QCoreApplication(argc, argv);
    }
    static void TearDownTestSuite() {
        delete application;
        application = nullptr;
    }

    static inline QCoreApplication* application = nullptr;
    testing::PrivateSessionBus bus;
    testing::AtspiLauncher launcher{bus};
};

TEST_F(AtspiScreenReaderStatusTest, FollowsTheServiceWithoutEverStartingIt) {
    const std::string marker = bus.folder() + "/activated";
    bus.addService("org.a11y.Bus", "/usr/bin/touch " + marker);

    AtspiScreenReaderStatus status(launcher.connect());
    EXPECT_FALSE(status.isVoiceOverEnabled());
    EXPECT_FALSE(status.isSwitchControlEnabled());

    launcher.start();
    ASSERT_TRUE(launcher.setScreenReader(true));
    EXPECT_TRUE(waitForValue(status, true));

    ASSERT_TRUE(launcher.setScreenReader(false));
    EXPECT_TRUE(waitForValue(status, false));
    ASSERT_TRUE(launcher.setScreenReader(true));
    EXPECT_TRUE(waitForValue(status, true));

    // The service goes away while the reader is on: nothing reads it any more.
    launcher.stop();
    EXPECT_TRUE(waitForValue(status, false));

    // A new service starts from its settings; turning the reader on there is seen again.
    launcher.start();
    ASSERT_TRUE(launcher.setScreenReader(true));
    EXPECT_TRUE(waitForValue(status, true));

    EXPECT_FALSE(std::filesystem::exists(marker)) << "the status started the service";
}

TEST_F(AtspiScreenReaderStatusTest, ReadsAStateThatWasOnBeforeIt) {
    launcher.start();
    ASSERT_TRUE(launcher.setScreenReader(true));

    AtspiScreenReaderStatus status(launcher.connect());
    EXPECT_FALSE(status.isVoiceOverEnabled()); // the answer comes on a later turn
    EXPECT_TRUE(waitForValue(status, true));
}

TEST_F(AtspiScreenReaderStatusTest, AnEndedObservationIsNotCalled) {
    launcher.start();
    AtspiScreenReaderStatus status(launcher.connect());
    int calls = 0;
    auto ended = status.observeVoiceOverEnabled([&] { ++calls; });
    ended->invalidate();

    ASSERT_TRUE(launcher.setScreenReader(true));
    EXPECT_TRUE(waitForValue(status, true));
    EXPECT_EQ(calls, 0);
}

TEST_F(AtspiScreenReaderStatusTest, WithoutABusReadsFalse) {
    QDBusConnection none = QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"),
                                                         QStringLiteral("screenreader-test-none"));
    ASSERT_FALSE(none.isConnected());
    {
        AtspiScreenReaderStatus status(none);
        auto observation = status.observeVoiceOverEnabled([] {});
        EXPECT_FALSE(status.isVoiceOverEnabled());
    }
    QDBusConnection::disconnectFromBus(QStringLiteral("screenreader-test-none"));
}

} // namespace
} // namespace platform
