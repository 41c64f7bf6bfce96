// The live main executor, clock and serial queue on a real Qt event loop.

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "platform/concurrency/LiveClock.hpp"
#include "platform/concurrency/LiveSerialQueue.hpp"
#include "platform/concurrency/MainExecutor.hpp"
#include "platform/concurrency/Task.hpp"

namespace platform {
namespace {

using namespace std::chrono_literals;

class LiveLoopTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "PlatformConcurrencyTests";
        static char* argv[] = {name, nullptr};
        application = new QCoreApplication(argc, argv);
    }
    static void TearDownTestSuite() {
        delete application;
        application = nullptr;
    }

    // Runs the loop until quit() or, failing that, a safety limit; answers whether quit() came.
    bool runLoop() {
        bool timedOut = false;
        QTimer safety;
        safety.setSingleShot(true);
        QObject::connect(&safety, &QTimer::timeout, &loop, [&] {
            timedOut = true;
            loop.quit();
        });
        safety.start(10s);
        loop.exec();
        return !timedOut;
    }
    void quit() { loop.quit(); }

    static inline QCoreApplication* application = nullptr;
    QEventLoop loop;
    MainExecutor executor;
    LiveClock clock;
};

TEST_F(LiveLoopTest, SerialJobAndSleepResumeOnTheLoopThread) {
    LiveSerialQueue queue("live-test");
    const auto mainThread = std::this_thread::get_id();
    std::optional<std::string> report;
    bool started = false;
    spawn(executor, [&]() -> Async<> {
        started = true;
        const auto worker = co_await queue.run([] { return std::this_thread::get_id(); });
        std::string text = worker != mainThread ? "job off main" : "job on main";
        text += std::this_thread::get_id() == mainThread ? ", resumed on main" : ", resumed elsewhere";
        const auto before = clock.now();
        co_await sleepFor(clock, 2ms);
        text += clock.now() - before >= 2ms ? ", slept" : ", woke early";
        text += std::this_thread::get_id() == mainThread ? " on main" : " elsewhere";
        report = text;
        quit();
    });
    EXPECT_FALSE(started);
    ASSERT_TRUE(runLoop());
    EXPECT_EQ(report, "job off main, resumed on main, slept on main");
}

TEST_F(LiveLoopTest, CancelledLiveSleepEndsLongBeforeItsInstant) {
    std::optional<std::string> ending;
    auto sleeper = spawn(executor, [&]() -> Async<> {
        try {
            co_await sleepFor(clock, 1h);
            ending = "elapsed";
        } catch (const CancellationError&) {
            ending = "cancelled";
        }
        quit();
    });
    spawn(executor, [&]() -> Async<> {
        co_await yield();
        sleeper.cancel();
    });
    ASSERT_TRUE(runLoop());
    EXPECT_EQ(ending, "cancelled");
}

} // namespace
} // namespace platform
