// The XDG base directories from the environment's values: one table of fallbacks.

#include <gtest/gtest.h>

#include "platform/xdg/BaseDirectories.hpp"

namespace platform::xdg {
namespace {

struct BaseCase {
    const char* name;
    BaseDirectoryVariables variables;
    BaseDirectories expected;
};

class BaseDirectoryCases : public ::testing::TestWithParam<BaseCase> {};

TEST_P(BaseDirectoryCases, ResolvesEachFolderWithItsFallback) {
    const BaseCase& c = GetParam();
    const BaseDirectories found = baseDirectories(c.variables);
    EXPECT_EQ(found.configHome, c.expected.configHome);
    EXPECT_EQ(found.dataHome, c.expected.dataHome);
    EXPECT_EQ(found.configDirs, c.expected.configDirs);
    EXPECT_EQ(found.dataDirs, c.expected.dataDirs);
}

const std::vector<std::filesystem::path> systemConfig{"/etc/xdg"};
const std::vector<std::filesystem::path> systemData{"/usr/local/share", "/usr/share"};

INSTANTIATE_TEST_SUITE_P(
    BaseDirectories, BaseDirectoryCases,
    ::testing::Values(
        BaseCase{"unset", {"/home/u", {}, {}, {}, {}},
                 {"/home/u/.config", "/home/u/.local/share", systemConfig, systemData}},
        BaseCase{"absolute", {"/home/u", "/cfg", "/data", "/etc/a:/etc/b", "/opt/share"},
                 {"/cfg", "/data", {"/etc/a", "/etc/b"}, {"/opt/share"}}},
        // Relative homes are not allowed by the rules; empty values count as unset.
        BaseCase{"relative", {"/home/u", "cfg", "data", "", ""},
                 {"/home/u/.config", "/home/u/.local/share", systemConfig, systemData}},
        BaseCase{"empty", {"/home/u", "", "", "::", ":/usr/share:"},
                 {"/home/u/.config", "/home/u/.local/share", {}, {"/usr/share"}}}),
    [](const ::testing::TestParamInfo<BaseCase>& info) { return std::string(info.param.name); });

TEST(BaseDirectories, DataFoldersAreTheHomeThenTheSystemFolders) {
    const BaseDirectories dirs = baseDirectories({"/home/u", "/cfg", {}, {}, "/a:/b"});
    EXPECT_EQ(dirs.dataFolders(),
              (std::vector<std::filesystem::path>{"/home/u/.local/share", "/a", "/b"}));
}

} // namespace
} // namespace platform::xdg
