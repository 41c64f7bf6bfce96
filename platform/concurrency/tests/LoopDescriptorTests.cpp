// The main-loop descriptor watcher on a real Qt event loop.

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <memory>
#include <string>
#include <system_error>
#include <thread>

#include "platform/concurrency/LoopDescriptor.hpp"

namespace platform {
namespace {

using namespace std::chrono_literals;

class LoopDescriptorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "PlatformConcurrencyTests";
        static char* argv[] = {name, nullptr};
        application = new QCoreApplication(argc, argv);
    }
    static void TearDownTestSuite() {
        delete application;
        application = nullptr;
    }
    // Runs the loop until quit or, failing that, a safety limit; answers whether quit came.
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

    static inline QCoreApplication* application = nullptr;
    QEventLoop loop;
};

TEST_F(LoopDescriptorTest, CallsBackOnTheLoopThreadForEachWriteFromAnotherThread) {
    const auto mainThread = std::this_thread::get_id();
    std::string seen;
    std::unique_ptr<LoopDescriptor> watched;
    watched = std::make_unique<LoopDescriptor>(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC), "eventfd", [&] {
        std::uint64_t count = 0;
        if (::read(watched->fd(), &count, sizeof count) != sizeof count)
            return;
        seen += std::this_thread::get_id() == mainThread ? "main " : "elsewhere ";
        seen += std::to_string(count) + ";";
        loop.quit();
    });
    EXPECT_TRUE(seen.empty()); // nothing before the loop runs
    std::thread([fd = watched->fd()] {
        const std::uint64_t two = 2;
        ASSERT_EQ(::write(fd, &two, sizeof two), static_cast<ssize_t>(sizeof two));
    }).join();
    ASSERT_TRUE(runLoop());
    EXPECT_EQ(seen, "main 2;");
}

TEST_F(LoopDescriptorTest, ClosesItsDescriptorAndNeverCallsBackOnceDestroyed) {
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
    QTimer::singleShot(0, &loop, [&] { loop.quit(); });
    ASSERT_TRUE(runLoop());
    EXPECT_FALSE(called);
    ::close(fds[1]);
}

TEST_F(LoopDescriptorTest, AFailedCallReportsItsErrorByName) {
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
