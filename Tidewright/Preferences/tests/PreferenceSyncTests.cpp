// Two installations of the application's preferences over one synced folder: the real folder,
// inotify and defaults files, one manual executor and one manual clock.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/cloud/KeyFileName.hpp"
#include "platform/defaults/FileContents.hpp"
#include "tidewright/preferences/PreferenceInstallation.hpp"
#include "tidewright/preferences/PreferenceKeys.hpp"
#include "tidewright/preferences/PreferenceWriter.hpp"

namespace tidewright {
namespace {

namespace fs = std::filesystem;
using testing::PreferenceInstallation;

class PreferenceSyncTest : public ::testing::Test {
protected:
    QTemporaryDir directory;
    fs::path root = fs::path(directory.path().toStdString());
    fs::path synced = root / "synced";
    platform::ManualExecutor executor;
    platform::ManualClock clock{executor};

    void SetUp() override {
        fs::create_directories(synced);
        testing::writeAccountFile(synced, "alice\n");
    }

    std::unique_ptr<PreferenceInstallation> install(const char* name) {
        auto installation = std::make_unique<PreferenceInstallation>(
            synced, root / (std::string(name) + ".json"), executor, clock);
        executor.runUntilIdle();
        return installation;
    }

    // Hands each installation what the other wrote until neither has anything left to say.
    void exchange(PreferenceInstallation& a, PreferenceInstallation& b) {
        for (int round = 0; round < 10; ++round) {
            a.deliver();
            b.deliver();
        }
    }

    static std::optional<std::string> cached(PreferenceInstallation& installation, const std::string& key) {
        return installation.defaults->data("tidewright.preference.cache." +
                                           installation.repository->account().marker() + "." + key);
    }
};

TEST_F(PreferenceSyncTest, AFreshInstallationTakesARuleWithoutWritingItBack) {
    auto a = install("a");
    a->repository->apply(PreferenceEdit::rule(BundleID("org.example.Editor"), OpeningAction::center));
    executor.runUntilIdle();
    const std::string key = ruleKey(BundleID("org.example.Editor"));
    const fs::path file = synced / platform::keyFileName(key);
    ASSERT_TRUE(fs::exists(file));
    const auto bytes = platform::testing::readFile(file);
    const auto written = fs::last_write_time(file);
    const int aChanges = a->changes;

    auto b = install("b");
    exchange(*a, *b);
    EXPECT_EQ(b->repository->summary().usableRules(),
              (std::map<BundleID, OpeningAction>{{BundleID("org.example.Editor"), OpeningAction::center}}));
    ASSERT_TRUE(cached(*b, key).has_value());
    EXPECT_EQ(cached(*b, key), cached(*a, key));
    EXPECT_TRUE(b->repository->pendingKeys().empty());
    EXPECT_EQ(platform::testing::readFile(file), bytes);
    EXPECT_EQ(fs::last_write_time(file), written);
    EXPECT_EQ(a->changes, aChanges) << "B wrote nothing that A would be told of";
}

TEST_F(PreferenceSyncTest, ConcurrentEditsOfOneKeyConvergeOnTheGreaterRevision) {
    auto a = install("a");
    auto b = install("b");
    const BundleID app("org.example.Editor");
    const std::string key = ruleKey(app);
    a->repository->apply(PreferenceEdit::rule(app, OpeningAction::maximize));
    b->repository->apply(PreferenceEdit::rule(app, OpeningAction::center));
    const auto aRule = PreferencePayload::decode(cached(*a, key).value()).rules.front();
    const auto bRule = PreferencePayload::decode(cached(*b, key).value()).rules.front();
    ASSERT_NE(aRule.revision, bRule.revision);
    const auto expected = aRule.revision > bRule.revision ? aRule : bRule;

    executor.runUntilIdle();
    exchange(*a, *b);
    for (auto* installation : {a.get(), b.get()}) {
        EXPECT_EQ(installation->repository->summary().usableRules(),
                  (std::map<BundleID, OpeningAction>{{app, *expected.action}}));
        EXPECT_EQ(PreferencePayload::decode(cached(*installation, key).value()).rules.front(), expected);
        EXPECT_TRUE(installation->repository->pendingKeys().empty());
    }
}

TEST_F(PreferenceSyncTest, SwitchingOperationOffReachesTheOtherInstallation) {
    auto a = install("a");
    auto b = install("b");
    ASSERT_TRUE(b->repository->summary().operationEnabled());
    const int bChanges = b->changes;
    a->repository->apply(PreferenceEdit::enabled(false));
    executor.runUntilIdle();
    b->deliver();
    EXPECT_FALSE(b->repository->summary().operationEnabled());
    EXPECT_GT(b->changes, bChanges);
}

TEST_F(PreferenceSyncTest, BothInstallationsFollowANewAccount) {
    auto a = install("a");
    auto b = install("b");
    const std::string aFirst = a->repository->account().marker();
    const std::string bFirst = b->repository->account().marker();

    testing::writeAccountFile(synced, "bob\n");
    exchange(*a, *b);
    for (auto* installation : {a.get(), b.get()}) {
        EXPECT_TRUE(installation->repository->account().isAvailable());
        EXPECT_EQ(installation->repository->barrier(), PreferenceRepository::AccountBarrier::ready);
        EXPECT_EQ(installation->repository->cloudState(), PreferenceCloudState::available);
        EXPECT_TRUE(installation->repository->summary().issues().empty());
    }
    EXPECT_NE(a->repository->account().marker(), aFirst);
    EXPECT_NE(b->repository->account().marker(), bFirst);

    // The new account syncs as the old one did.
    a->repository->apply(PreferenceEdit::enabled(false));
    exchange(*a, *b);
    EXPECT_FALSE(b->repository->summary().operationEnabled());
}

} // namespace
} // namespace tidewright
