// Where the defaults file and the synced folder are, from the environment's values.

#include <gtest/gtest.h>

#include "platform/cloud/CloudFolderLocation.hpp"
#include "platform/defaults/DefaultsLocation.hpp"

namespace platform {
namespace {

TEST(Location, TheDefaultsFileFollowsAnAbsoluteConfigHomeOnly) {
    EXPECT_EQ(userDefaultsFile("/cfg", "/home/u", "standard"), "/cfg/tidewright/standard.json");
    EXPECT_EQ(userDefaultsFile(std::nullopt, "/home/u", "standard"),
              "/home/u/.config/tidewright/standard.json");
    EXPECT_EQ(userDefaultsFile("", "/home/u", "standard"), "/home/u/.config/tidewright/standard.json");
    EXPECT_EQ(userDefaultsFile("relative", "/home/u", "s"), "/home/u/.config/tidewright/s.json");
}

TEST(Location, TheSyncedFolderIsTheChosenOneElseUnderTheDataHome) {
    EXPECT_EQ(cloudFolderRoot("/mnt/sync/tw", "/data", "/home/u"), "/mnt/sync/tw");
    EXPECT_EQ(cloudFolderRoot(std::nullopt, "/data", "/home/u"), "/data/tidewright/synced");
    EXPECT_EQ(cloudFolderRoot("", std::nullopt, "/home/u"), "/home/u/.local/share/tidewright/synced");
    EXPECT_EQ(cloudFolderRoot("sync", "data", "/home/u"), "/home/u/.local/share/tidewright/synced");
}

} // namespace
} // namespace platform
