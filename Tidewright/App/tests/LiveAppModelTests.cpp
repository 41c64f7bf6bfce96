// The app model over the live services on a private display with openbox: the composition root
// reads a private environment, the permission reads granted, the six hot keys are grabbed for real,
// and the welcome's record reaches the defaults file.

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "FakeAppServices.hpp"
#include "platform/concurrency/MainExecutor.hpp"
#include "platform/testing/PrivateSessionBus.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/app/LocalWelcomeHistory.hpp"
#include "tidewright/app/TidewrightAppModel.hpp"

namespace tidewright {
namespace {

using namespace fakes;

class LiveAppModelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "TidewrightAppLiveTests";
        static char* argv[] = {name, nullptr};
        application = new QApplication(argc, argv);
    }
    static void TearDownTestSuite() {
        delete application;
        application = nullptr;
    }

    void TearDown() override {
        for (const auto& [name, value] : saved) {
            if (value) {
                ::setenv(name.c_str(), value->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    }

    void setVariable(const char* name, const std::optional<std::string>& value) {
        const char* old = std::getenv(name);
        saved.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
        if (value) {
            ::setenv(name, value->c_str(), 1);
        } else {
            ::unsetenv(name);
        }
    }

    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        const std::string root = folder.path().toStdString();
        for (const char* sub : {"/home", "/config", "/data", "/dirs", "/synced"}) {
            std::filesystem::create_directories(root + sub);
        }
        // Only the root reads these; nothing outside the test's folder is read or written.
        setVariable("DISPLAY", world.display());
        setVariable("HOME", root + "/home");
        setVariable("XDG_CONFIG_HOME", root + "/config");
        setVariable("XDG_DATA_HOME", root + "/data");
        setVariable("XDG_DATA_DIRS", root + "/dirs");
        setVariable("XDG_CONFIG_DIRS", root + "/dirs");
        setVariable("TIDEWRIGHT_SYNC_FOLDER", root + "/synced");
        setVariable("XDG_CURRENT_DESKTOP", std::nullopt);
        // A private session bus without the accessibility service: the screen reader reads as off.
        setVariable("DBUS_SESSION_BUS_ADDRESS", bus.address());
    }

    // Runs the event loop until done holds; the limit only ends a failing test.
    static bool until(const std::function<bool()>& done) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 15000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        return done();
    }

    std::shared_ptr<TidewrightAppModel> build() { return TidewrightAppModel::live(executor, presenter); }

    std::string defaultsText() const {
        std::ifstream file(folder.path().toStdString() + "/config/tidewright/standard.json");
        std::stringstream text;
        text << file.rdbuf();
        return text.str();
    }

    static inline QApplication* application = nullptr;
    platform::testing::X11TestWorld world;
    platform::testing::PrivateSessionBus bus;
    QTemporaryDir folder;
    platform::MainExecutor executor;
    std::shared_ptr<RecordingPresenter> presenter = std::make_shared<RecordingPresenter>();
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
};

TEST_F(LiveAppModelTest, StartsRunningOnTheDesktopAndStopsCleanly) {
    std::shared_ptr<TidewrightAppModel> model = build();
    EXPECT_FALSE(model->running());
    EXPECT_EQ(model->decision().state.kind(), FunctioningState::Case::needsPermissions);

    model->start();
    ASSERT_TRUE(until([&] { return model->permissionReadCompleted(); }));
    EXPECT_EQ(model->permissions(), WindowPermissions{PermissionState::granted});
    // Nothing stored yet: the switch is on, and every hot key is free on this desktop.
    const AppDecision& decision = model->decision();
    EXPECT_EQ(decision.state.kind(), FunctioningState::Case::running);
    EXPECT_EQ(decision.usableShortcuts, decision.desiredShortcuts);
    EXPECT_EQ(decision.usableShortcuts.size(), 6u);
    EXPECT_EQ(decision.operatingIndicator(), OperatingIndicator::working);
    EXPECT_TRUE(model->openingFacts().operationAllowed);

    // The first launch offers the welcome once, and the record reaches the file.
    EXPECT_EQ(model->welcomeOpenings(), 1);
    EXPECT_EQ(presenter->presentedFor.size(), 1u);
    ASSERT_TRUE(until([&] { return defaultsText().find(LocalWelcomeHistory::key) != std::string::npos; }));

    const std::uint64_t generation = model->generation();
    model->stop();
    EXPECT_FALSE(model->running());
    EXPECT_GT(model->generation(), generation);
    EXPECT_FALSE(model->openingFacts().operationAllowed);
    model.reset();
}

TEST_F(LiveAppModelTest, TheSecondLaunchRemembersTheWelcome) {
    for (const int launch : {1, 2}) {
        std::shared_ptr<TidewrightAppModel> model = build();
        model->start();
        ASSERT_TRUE(until([&] { return model->permissionReadCompleted(); })) << "launch " << launch;
        EXPECT_EQ(model->welcomeOpenings(), launch == 1 ? 1 : 0) << "launch " << launch;
        model.reset();
    }
}

} // namespace
} // namespace tidewright
