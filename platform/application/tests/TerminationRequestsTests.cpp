#include "platform/application/TerminationRequests.hpp"

#include <QCoreApplication>

#include <gtest/gtest.h>

#include <csignal>
#include <stdexcept>
#include <vector>

namespace {

using platform::application::TerminationRequests;

// The byte is in the pipe once raise() returns; a few non-blocking passes of the loop deliver it.
void deliverPending() {
    for (int pass = 0; pass < 10; ++pass) {
        QCoreApplication::processEvents();
    }
}

sighandler_t currentHandler(int signal) {
    struct sigaction action {};
    sigaction(signal, nullptr, &action);
    return action.sa_handler;
}

class TerminationRequestsTest : public ::testing::Test {
protected:
    int argc = 1;
    char name[8] = "test";
    char* argv[2] = {name, nullptr};
    QCoreApplication application{argc, argv};
};

TEST_F(TerminationRequestsTest, EachSignalReachesTheLoopAndNotTheDefaultAction) {
    std::vector<int> seen;
    TerminationRequests requests([&](int signal) { seen.push_back(signal); });
    raise(SIGTERM);
    raise(SIGINT);
    EXPECT_TRUE(seen.empty()) << "nothing runs inside the signal handler";
    deliverPending();
    EXPECT_EQ(seen, (std::vector<int>{SIGTERM, SIGINT}));
}

TEST_F(TerminationRequestsTest, OneInstancePerProcessAndDispositionsRestored) {
    {
        TerminationRequests first([](int) {});
        EXPECT_THROW(TerminationRequests([](int) {}), std::logic_error);
        EXPECT_NE(currentHandler(SIGTERM), SIG_DFL);
    }
    EXPECT_EQ(currentHandler(SIGTERM), SIG_DFL);
    EXPECT_EQ(currentHandler(SIGINT), SIG_DFL);
    // A new instance can take over once the first is gone.
    int count = 0;
    TerminationRequests again([&](int) { ++count; });
    raise(SIGTERM);
    deliverPending();
    EXPECT_EQ(count, 1);
}

} // namespace
