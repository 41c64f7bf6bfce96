// User defaults over a real file in a temporary folder, driven by a manual executor.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <filesystem>

#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/defaults/FileContents.hpp"
#include "platform/defaults/UserDefaults.hpp"

namespace platform {
namespace {

namespace fs = std::filesystem;

using testing::readFile;
using testing::writeFile;

class UserDefaultsTest : public ::testing::Test {
protected:
    fs::path folder() const { return fs::path(directory.path().toStdString()); }
    fs::path file() const { return folder() / "tidewright" / "standard.json"; }
    std::vector<std::string> siblings() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(file().parent_path())) {
            names.push_back(entry.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

    QTemporaryDir directory;
    ManualExecutor executor;
};

TEST_F(UserDefaultsTest, EveryTypeSurvivesARestart) {
    const PropertyValue nested = PropertyValue::dictionary({
        {"list", PropertyValue::array({PropertyValue::real(-0.5), PropertyValue::boolean(true)})},
        {"when", PropertyValue::date(1700000000.125)},
    });
    {
        UserDefaults defaults(file(), executor);
        ASSERT_TRUE(defaults.setData("data", std::string("\x00\x01", 2)));
        ASSERT_TRUE(defaults.setString("string", "text"));
        ASSERT_TRUE(defaults.set("integer", PropertyValue::integer(-42)));
        ASSERT_TRUE(defaults.set("real", PropertyValue::real(1.0 / 3.0)));
        ASSERT_TRUE(defaults.set("bool", PropertyValue::boolean(true)));
        ASSERT_TRUE(defaults.set("date", PropertyValue::date(-86400.5)));
        ASSERT_TRUE(defaults.set("nested", nested));
        executor.runUntilIdle();
    }
    UserDefaults reopened(file(), executor);
    EXPECT_EQ(reopened.data("data"), std::string("\x00\x01", 2));
    EXPECT_EQ(reopened.string("string"), "text");
    EXPECT_EQ(reopened.object("integer"), PropertyValue::integer(-42));
    EXPECT_EQ(reopened.object("real"), PropertyValue::real(1.0 / 3.0));
    EXPECT_EQ(reopened.object("bool"), PropertyValue::boolean(true));
    EXPECT_EQ(reopened.date("date"), PropertyDate{-86400.5});
    EXPECT_EQ(reopened.object("nested"), nested);
    EXPECT_EQ(reopened.dictionaryRepresentation().size(), 7u);
}

TEST_F(UserDefaultsTest, TypedReadsAnswerNothingForAnotherType) {
    UserDefaults defaults(file(), executor);
    defaults.setString("key", "text");
    EXPECT_EQ(defaults.data("key"), std::nullopt);
    EXPECT_EQ(defaults.date("key"), std::nullopt);
    EXPECT_EQ(defaults.string("key"), "text");
    EXPECT_EQ(defaults.object("missing"), std::nullopt);
}

TEST_F(UserDefaultsTest, WritesOncePerTurnWithMode0600AndAtDestruction) {
    {
        UserDefaults defaults(file(), executor);
        defaults.setString("a", "1");
        defaults.setString("b", "2");
        defaults.remove("b");
        EXPECT_FALSE(fs::exists(file())) << "nothing is written inside the call";
        EXPECT_EQ(executor.pendingJobs(), 1u);
        executor.runUntilIdle();
        ASSERT_TRUE(fs::exists(file()));
        struct stat status {};
        ASSERT_EQ(stat(file().c_str(), &status), 0);
        EXPECT_EQ(status.st_mode & 0777, 0600u);

        defaults.setString("c", "3");
        // Destroyed before the loop turns: the destructor writes.
    }
    EXPECT_EQ(executor.runUntilIdle(), 1u) << "the posted write outlives the defaults and does nothing";
    UserDefaults reopened(file(), executor);
    EXPECT_EQ(reopened.string("a"), "1");
    EXPECT_EQ(reopened.object("b"), std::nullopt);
    EXPECT_EQ(reopened.string("c"), "3");
    EXPECT_EQ(siblings(), std::vector<std::string>{"standard.json"}) << "no temporary file is left";
}

TEST_F(UserDefaultsTest, RefusesValuesThatCannotBeStoredAndKeepsTheOldOne) {
    UserDefaults defaults(file(), executor);
    defaults.set("key", PropertyValue::integer(1));
    EXPECT_FALSE(defaults.set("key", PropertyValue::real(std::nan(""))));
    EXPECT_FALSE(defaults.set("key", PropertyValue::date(INFINITY)));
    EXPECT_FALSE(defaults.setString("key", "\xff"));
    EXPECT_FALSE(defaults.setString("\xff", "text"));
    EXPECT_EQ(defaults.object("key"), PropertyValue::integer(1));
    EXPECT_TRUE(defaults.synchronize());
}

TEST_F(UserDefaultsTest, ADamagedFileIsMovedAsideAndNeverOverwritten) {
    const std::string damaged[] = {
        "",
        "{\"version\": 1, \"values\": {\"a\": {\"string\": \"x\"}",
        R"({"version": 2, "values": {}})",
        R"({"version": 1, "values": {"a": {"integer": 1.5}}})",
        R"({"values": {}})",
        "[1, 2]",
    };
    for (const auto& text : damaged) {
        fs::remove_all(file().parent_path());
        fs::create_directories(file().parent_path());
        writeFile(file(), text);
        {
            UserDefaults defaults(file(), executor);
            EXPECT_TRUE(defaults.dictionaryRepresentation().empty()) << text;
            defaults.setString("fresh", "value");
            executor.runUntilIdle();
        }
        const auto names = siblings();
        ASSERT_EQ(names.size(), 2u) << text;
        EXPECT_EQ(names[0], "standard.json");
        EXPECT_EQ(names[1].rfind("standard.json.damaged-", 0), 0u) << names[1];
        EXPECT_EQ(readFile(file().parent_path() / names[1]), text) << "the damaged file is kept as it was";
        UserDefaults reopened(file(), executor);
        EXPECT_EQ(reopened.string("fresh"), "value") << text;
    }
}

TEST_F(UserDefaultsTest, TwoDamagedFilesInOneSecondGetTwoNames) {
    fs::create_directories(file().parent_path());
    for (int round = 0; round < 2; ++round) {
        writeFile(file(), "damaged " + std::to_string(round));
        UserDefaults defaults(file(), executor);
    }
    EXPECT_EQ(siblings().size(), 2u) << "both damaged files are kept; no new file was needed";
}

TEST_F(UserDefaultsTest, AFileThatCannotBeMovedAsideIsNeverWritten) {
    fs::create_directories(file().parent_path());
    writeFile(file(), "damaged");
    fs::permissions(file().parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(file().parent_path().c_str(), W_OK) == 0) {
        GTEST_SKIP() << "running with privileges that ignore folder permissions";
    }
    {
        UserDefaults defaults(file(), executor);
        defaults.setString("a", "b");
        EXPECT_EQ(defaults.string("a"), "b") << "changes still live in memory";
        EXPECT_FALSE(defaults.synchronize());
    }
    fs::permissions(file().parent_path(), fs::perms::owner_all);
    EXPECT_EQ(readFile(file()), "damaged");
}

} // namespace
} // namespace platform
