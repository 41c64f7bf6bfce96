// The order of the workspace's notices, with the window list and the process handles scripted.

#include "platform/workspace/RunningApplicationsTracker.hpp"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace platform {
namespace {

using Message = WorkspaceMessage;

class RunningApplicationsTrackerTest : public ::testing::Test {
protected:
    // A scripted desktop: windows with owners, processes alive or exited, handles issued.
    std::map<std::uint32_t, std::int32_t> owners;
    std::set<std::int32_t> alive;
    std::map<int, std::int32_t> openHandles; // handle -> pid it was opened on
    std::set<int> exitedHandles;
    int nextHandle = 100;
    std::vector<WorkspaceNotice> notices;
    bool failOwner = false;

    RunningApplicationsTracker tracker{RunningApplicationsTracker::Hooks{
        [this](std::uint32_t window) -> std::optional<std::int32_t> {
            if (failOwner) {
                throw std::runtime_error("timed out");
            }
            auto found = owners.find(window);
            return found == owners.end() ? std::nullopt : std::optional(found->second);
        },
        [this](std::int32_t pid) -> std::optional<int> {
            if (!alive.contains(pid)) {
                return std::nullopt;
            }
            openHandles.emplace(nextHandle, pid);
            return nextHandle++;
        },
        [this](int handle) { return exitedHandles.contains(handle); },
        [this](int handle) { EXPECT_EQ(openHandles.erase(handle), 1u) << "closed twice or never opened"; },
        [this](std::uint32_t window) { return owners.contains(window); },
        [](std::int32_t pid, std::uint32_t window) {
            return RunningApplication{"org.example.App" + std::to_string(pid) + "w" + std::to_string(window),
                                      0, ActivationPolicy::regular, QStringLiteral("App")};
        },
        [this](const WorkspaceNotice& notice) { notices.push_back(notice); },
    }};

    void open(std::uint32_t window, std::int32_t pid) {
        owners[window] = pid;
        alive.insert(pid);
    }
    // The process exits: its handles become readable, its windows go.
    void exit(std::int32_t pid) {
        alive.erase(pid);
        for (const auto& [handle, owner] : openHandles) {
            if (owner == pid) {
                exitedHandles.insert(handle);
            }
        }
    }
    int handleOf(std::int32_t pid) const {
        for (const auto& [p, handle] : tracker.handles()) {
            if (p == pid) {
                return handle;
            }
        }
        return -1;
    }
    std::vector<std::pair<Message, std::int32_t>> messages() const {
        std::vector<std::pair<Message, std::int32_t>> list;
        for (const WorkspaceNotice& notice : notices) {
            list.emplace_back(notice.message, notice.application.processIdentifier);
        }
        return list;
    }
};

TEST_F(RunningApplicationsTrackerTest, ProcessesPresentAtStartAreListedNotLaunched) {
    open(1, 40);
    open(2, 40);
    open(3, 50);
    tracker.setListing(true);
    tracker.clientList({1, 2, 3});
    tracker.activeWindow(3);
    tracker.setListing(false);
    EXPECT_TRUE(notices.empty());
    ASSERT_EQ(tracker.running().size(), 2u);
    EXPECT_EQ(tracker.running()[0].processIdentifier, 40);
    EXPECT_EQ(tracker.running()[1].processIdentifier, 50);
    EXPECT_EQ(tracker.frontmost()->processIdentifier, 50);
}

TEST_F(RunningApplicationsTrackerTest, LaunchComesFirstAndFocusMovesDeactivateThenActivate) {
    open(1, 40);
    tracker.clientList({1});
    tracker.activeWindow(1);
    open(2, 50);
    tracker.clientList({1, 2});
    tracker.activeWindow(2);
    tracker.activeWindow(2); // no change, no notice
    tracker.activeWindow(std::nullopt);
    EXPECT_EQ(messages(), (std::vector<std::pair<Message, std::int32_t>>{
                              {Message::didLaunchApplication, 40},
                              {Message::didActivateApplication, 40},
                              {Message::didLaunchApplication, 50},
                              {Message::didDeactivateApplication, 40},
                              {Message::didActivateApplication, 50},
                              {Message::didDeactivateApplication, 50},
                          }));
    EXPECT_FALSE(tracker.frontmost().has_value());
}

TEST_F(RunningApplicationsTrackerTest, AProcessOutlivesItsWindowsAndEndsAtItsExit) {
    open(1, 40);
    tracker.clientList({1});
    tracker.activeWindow(1);
    tracker.clientList({});
    EXPECT_EQ(tracker.running().size(), 1u);
    exit(40);
    tracker.processExited(40);
    tracker.processExited(40); // a second report changes nothing
    EXPECT_EQ(messages(),
              (std::vector<std::pair<Message, std::int32_t>>{{Message::didLaunchApplication, 40},
                                                             {Message::didActivateApplication, 40},
                                                             {Message::didTerminateApplication, 40}}));
    EXPECT_TRUE(tracker.running().empty());
    EXPECT_FALSE(tracker.frontmost().has_value());
    EXPECT_TRUE(openHandles.empty());
}

TEST_F(RunningApplicationsTrackerTest, APidReusedBeforeItsExitWasHandledEndsTheOldProcessFirst) {
    open(1, 40);
    tracker.clientList({1});
    const std::string first = *tracker.running().at(0).bundleIdentifier;
    // The process exits and a new one gets its pid before the reader handles the exit.
    exit(40);
    owners.erase(1);
    open(2, 40);
    tracker.clientList({2});
    ASSERT_EQ(notices.size(), 3u);
    EXPECT_EQ(notices[1].message, Message::didTerminateApplication);
    EXPECT_EQ(*notices[1].application.bundleIdentifier, first);
    EXPECT_EQ(notices[2].message, Message::didLaunchApplication);
    EXPECT_NE(*notices[2].application.bundleIdentifier, first);
    // The late report of the old exit finds the new process's handle unexited and ends nothing.
    EXPECT_NE(handleOf(40), -1);
    EXPECT_FALSE(exitedHandles.contains(handleOf(40)));
}

TEST_F(RunningApplicationsTrackerTest, AWindowOfAnExitedProcessIsNeverALaunch) {
    open(1, 40);
    tracker.clientList({1});
    exit(40);
    tracker.processExited(40);
    // Its window is still listed for a moment, and the pid may still open as a zombie.
    alive.insert(40);
    exitedHandles.insert(nextHandle);
    tracker.clientList({1});
    open(3, 60);
    exitedHandles.insert(nextHandle); // 60 exits between the list and its handle
    tracker.clientList({1, 3});
    EXPECT_EQ(messages(), (std::vector<std::pair<Message, std::int32_t>>{
                              {Message::didLaunchApplication, 40}, {Message::didTerminateApplication, 40}}));
    EXPECT_TRUE(openHandles.empty());
}

TEST_F(RunningApplicationsTrackerTest, WindowsWithoutOwnerOrGoneAtOnceLaunchNothing) {
    owners[1] = 40; // 40 is not alive: no handle
    tracker.clientList({1, 2});
    open(3, 50);
    owners.erase(3); // gone between the owner read and the check
    tracker.clientList({1, 2, 3});
    EXPECT_TRUE(notices.empty());
    EXPECT_TRUE(openHandles.empty());
}

TEST_F(RunningApplicationsTrackerTest, AFailedReadIsTriedAgainOnTheNextList) {
    open(1, 40);
    failOwner = true;
    EXPECT_THROW(tracker.clientList({1}), std::runtime_error);
    failOwner = false;
    tracker.clientList({1});
    EXPECT_EQ(messages(),
              (std::vector<std::pair<Message, std::int32_t>>{{Message::didLaunchApplication, 40}}));
}

} // namespace
} // namespace platform
