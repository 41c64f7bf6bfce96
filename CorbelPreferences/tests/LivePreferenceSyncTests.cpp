// The live record sync: two installations, each with its defaults file and its folder object on
// one synced folder, with real inotify read by hand and a manual executor.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "corbel/preferences/PreferenceSync.hpp"
#include "corbel/preferences/WriterIdentity.hpp"
#include "platform/cloud/CloudFolder.hpp"
#include "platform/cloud/KeyFileName.hpp"
#include "platform/concurrency/ManualExecutor.hpp"

namespace corbel {
namespace {

namespace fs = std::filesystem;

struct Installation {
    Installation(const fs::path& base, const std::string& name, platform::Executor& executor,
                 const std::set<std::string>& keys)
        : defaults(std::make_shared<platform::UserDefaults>(base / (name + ".json"), executor)),
          folder(platform::CloudFolder::open(base / "sync", executor,
                                             platform::CloudFolder::Watching::manually)),
          executor(executor), keys(keys) {}

    void start() { sync = PreferenceSync::live(defaults, keys, folder->makeStore(), folder, executor); }

    std::shared_ptr<platform::UserDefaults> defaults;
    std::shared_ptr<platform::CloudFolder> folder;
    platform::Executor& executor;
    std::set<std::string> keys;
    std::shared_ptr<PreferenceSync> sync;
};

class LivePreferenceSyncTest : public ::testing::Test {
protected:
    fs::path base() const { return fs::path(directory.path().toStdString()); }
    void settle() {
        a.folder->processPendingEvents();
        b.folder->processPendingEvents();
        executor.runUntilIdle();
    }

    QTemporaryDir directory;
    platform::ManualExecutor executor;
    Installation a{base(), "a", executor, {"enabled"}};
    Installation b{base(), "b", executor, {"enabled"}};
};

TEST_F(LivePreferenceSyncTest, AValueSetInOneInstallationReachesTheOther) {
    std::ofstream(base() / "sync" / "account") << "token";
    a.start();
    b.start();
    int observedA = 0;
    int observedB = 0;
    a.sync->observe("enabled", [&] { ++observedA; });
    b.sync->observe("enabled", [&] { ++observedB; });
    a.sync->set(false, "enabled");
    settle();
    EXPECT_EQ(b.sync->value<bool>("enabled"), false);
    EXPECT_EQ(observedB, 1);
    EXPECT_EQ(observedA, 0);
}

TEST_F(LivePreferenceSyncTest, WithoutAnAccountValuesStayLocal) {
    a.start();
    b.start();
    a.sync->set(false, "enabled");
    settle();
    EXPECT_EQ(a.sync->account(), PreferenceAccountIdentity::unavailable());
    EXPECT_EQ(a.sync->value<bool>("enabled"), false);
    EXPECT_EQ(b.sync->value<bool>("enabled"), std::nullopt);
    EXPECT_FALSE(fs::exists(base() / "sync" / platform::keyFileName("syncedPreference.v1.enabled")));
}

TEST_F(LivePreferenceSyncTest, AnUnusableStoredWriterIsReplacedSoWritesGoOn) {
    a.defaults->setString(PreferenceSync::writerKey, "");
    a.start();
    const auto writer = a.defaults->string(PreferenceSync::writerKey);
    ASSERT_TRUE(writer);
    EXPECT_TRUE(isValidWriterIdentity(*writer));
    a.sync->set(true, "enabled");
    EXPECT_EQ(a.sync->value<bool>("enabled"), true);
    const auto record = PreferenceRecord::decode(*a.defaults->data("syncedPreference.v1.enabled"));
    ASSERT_TRUE(record);
    EXPECT_EQ(record->writer, *writer);
}

TEST_F(LivePreferenceSyncTest, AnAccountThatAppearsIsAdoptedAndKeepsItsMarker) {
    a.start();
    a.sync->set(true, "enabled");
    std::ofstream(base() / "sync" / "account") << "token";
    settle();
    ASSERT_EQ(a.sync->account().kind(), PreferenceAccountIdentity::Kind::account);
    const std::string marker = a.sync->account().marker();
    EXPECT_EQ(a.defaults->data(PreferenceSync::accountKey), marker);
    EXPECT_EQ(a.sync->issue(), std::nullopt);

    a.sync.reset();
    a.start();
    EXPECT_EQ(a.sync->account(), PreferenceAccountIdentity::account(marker))
        << "the same token keeps its marker";
}

} // namespace
} // namespace corbel
