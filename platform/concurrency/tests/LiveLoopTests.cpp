// The live main executor, clock, serial queue and descriptor watcher on a real Qt event loop.

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <system_error>

#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "platform/concurrency/LiveClock.hpp"
#include "platform/concurrency/LiveSerialQueue.hpp"
#include "platform/concurrency/LoopDescriptor.hpp"
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

TEST_F(LiveLoopTest, AWatchedDescriptorCallsBackOnTheLoopThreadAfterAWriteFromAnotherThread) {
    const auto mainThread = std::this_thread::get_id();
    std::string seen;
    std::unique_ptr<LoopDescriptor> watched;
    watched = std::make_unique<LoopDescriptor>(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC), "eventfd", [&] {
        std::uint64_t count = 0;
        if (::read(watched->fd(), &count, sizeof count) != sizeof count)
            return;
        seen += std::this_thread::get_id() == mainThread ? "main " : "elsewhere ";
        seen += std::to_string(count) + ";";
        quit();
    });
    EXPECT_TRUE(seen.empty()); // nothing before the loop runs
    std::thread([fd = watched->fd()] {
        const std::uint64_t two = 2;
        ASSERT_EQ(::write(fd, &two, sizeof two), static_cast<ssize_t>(sizeof two));
    }).join();
    ASSERT_TRUE(runLoop());
    EXPECT_EQ(seen, "main 2;");
}

TEST_F(LiveLoopTest, AWatchedDescriptorIsClosedAndSilentOnceTheWatcherIsDestroyed) {
    int fds[2] = {-1, -1};
    ASSERT_EQ(::pipe2(fds, O_CLOEXEC | O_NONBLOCK), 0);
    bool called = false;
    auto watched = std::make_unique<LoopDescriptor>(fds[0], "pipe2", [&] { called = true; });
    ASSERT_EQ(::write(fds[1], "x", 1), 1);
    watched.reset();
    errno = 0;
    EXPECT_EQ(::fcntl(fds[0], F_GETFD), -1);
    EXPECT_EQ(errno, EBADF);
    // A turn of the loop with the byte still unread would have called back.
    QTimer::singleShot(0, [&] { quit(); });
    ASSERT_TRUE(runLoop());
    EXPECT_FALSE(called);
    ::close(fds[1]);
}

TEST_F(LiveLoopTest, AWatcherOfAFailedCallReportsTheCallsError) {
    errno = EMFILE;
    try {
        LoopDescriptor failed(-1, "eventfd", [] {});
        ADD_FAILURE() << "a negative descriptor was taken";
    } catch (const std::system_error& error) {
        EXPECT_EQ(error.code(), std::error_code(EMFILE, std::generic_category()));
        EXPECT_NE(std::string(error.what()).find("eventfd"), std::string::npos);
    }
}

} // namespace
} // namespace platform
