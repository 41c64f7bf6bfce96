// The record sync over a local and a cloud store kept in memory.

#include <gtest/gtest.h>

#include <map>

#include "corbel/preferences/MemoryPreferenceStorage.hpp"
#include "corbel/preferences/PreferenceSync.hpp"

namespace corbel {
namespace {

using MemoryStorage = MemoryPreferenceStorage;

class MemoryCloud final : public PreferenceCloudStorage {
public:
    std::optional<std::string> data(std::string_view key) override { return memory.data(key); }
    void set(std::string_view key, std::string bytes) override { memory.set(key, std::move(bytes)); }
    void removeObject(std::string_view key) override { memory.removeObject(key); }
    const ExternalChangeHandler& onExternalChange() const override { return handler; }
    void setOnExternalChange(ExternalChangeHandler newHandler) override { handler = std::move(newHandler); }
    std::optional<PreferenceCloudIssue> issue() const override { return cloudIssue; }
    void synchronize() override { ++synchronizeCalls; }

    MemoryStorage memory;
    ExternalChangeHandler handler;
    std::optional<PreferenceCloudIssue> cloudIssue;
    int synchronizeCalls = 0;
};

const std::string key = "enabled";
const std::string stored = "syncedPreference.v1.enabled";

std::string encoded(std::uint64_t revision, std::string writer, std::optional<std::string> payload) {
    return *PreferenceRecord(revision, std::move(writer), std::move(payload)).encode();
}

std::optional<PreferenceRecord> decoded(const std::map<std::string, std::string>& values,
                                        const std::string& storageKey) {
    const auto found = values.find(storageKey);
    if (found == values.end()) {
        return std::nullopt;
    }
    return PreferenceRecord::decode(found->second);
}

class PreferenceSyncTest : public ::testing::Test {
protected:
    std::shared_ptr<PreferenceSync>
    make(PreferenceAccountIdentity account = PreferenceAccountIdentity::isolated(),
         PreferenceSync::AccountProvider provider = {}) {
        return PreferenceSync::create(local, cloud, {key, "other"}, "ME", std::move(account),
                                      std::move(provider));
    }
    std::optional<PreferenceRecord> localRecord() const { return decoded(local->values, stored); }
    std::optional<PreferenceRecord> cloudRecord() const { return decoded(cloud->memory.values, stored); }

    std::shared_ptr<MemoryStorage> local = std::make_shared<MemoryStorage>();
    std::shared_ptr<MemoryCloud> cloud = std::make_shared<MemoryCloud>();
};

TEST_F(PreferenceSyncTest, SetWritesRevisionOneAndRemoveARemovalMarker) {
    auto sync = make();
    EXPECT_EQ(cloud->synchronizeCalls, 1);
    sync->set(true, key);
    EXPECT_EQ(localRecord(), PreferenceRecord(1, "ME", "true"));
    EXPECT_EQ(cloudRecord(), PreferenceRecord(1, "ME", "true"));
    EXPECT_EQ(sync->value<bool>(key), true);
    EXPECT_EQ(sync->value<std::string>(key), std::nullopt) << "not a string";
    EXPECT_FALSE(sync->isReset(key));

    sync->remove(key);
    EXPECT_EQ(localRecord(), PreferenceRecord(2, "ME", std::nullopt));
    EXPECT_TRUE(sync->isReset(key));
    EXPECT_EQ(sync->value<bool>(key), std::nullopt);
}

TEST_F(PreferenceSyncTest, DropsAValueWhoseJsonIsOverTheLimit) {
    auto sync = make();
    sync->set(std::string(32767, 'x'), key); // 32,769 bytes with its quotes
    EXPECT_FALSE(localRecord());
    EXPECT_FALSE(cloudRecord());
    sync->set(std::string(32766, 'x'), key);
    EXPECT_EQ(sync->value<std::string>(key), std::string(32766, 'x'));
}

TEST_F(PreferenceSyncTest, IgnoresKeysItDoesNotManage) {
    local->values["syncedPreference.v1.stranger"] = encoded(1, "X", "true");
    auto sync = make();
    sync->set(true, "stranger");
    sync->remove("stranger");
    EXPECT_EQ(sync->value<bool>("stranger"), std::nullopt);
    EXPECT_FALSE(sync->isReset("stranger"));
    EXPECT_EQ(local->values["syncedPreference.v1.stranger"], encoded(1, "X", "true"));
    EXPECT_TRUE(cloud->memory.values.empty());
}

TEST_F(PreferenceSyncTest, UnreadableRecordsAreLeftAloneInEitherStore) {
    PreferenceRecord version2(1, "W", "true");
    version2.version = 2;
    const std::string unreadable[] = {
        "not json",
        encoded(0, "W", "true"),
        *version2.encode(),
        encoded(1, "", "true"),
        encoded(1, std::string(129, 'w'), "true"),
        encoded(1, "W", std::string(32769, 'p')),
        std::string(65537, ' ') + encoded(1, "W", "true"),
    };
    for (const bool inCloud : {false, true}) {
        for (const auto& bytes : unreadable) {
            local->values.clear();
            cloud->memory.values.clear();
            auto& values = inCloud ? cloud->memory.values : local->values;
            values[stored] = bytes;
            (inCloud ? local->values : cloud->memory.values)[stored] = encoded(5, "W", "false");
            auto sync = make();
            sync->set(true, key);
            cloud->handler({});
            EXPECT_EQ(values[stored], bytes) << "never overwritten";
            if (!inCloud) {
                EXPECT_EQ(sync->value<bool>(key), std::nullopt);
            }
            EXPECT_EQ((inCloud ? local->values : cloud->memory.values)[stored], encoded(5, "W", "false"))
                << "the other store is not written either";
        }
    }
}

TEST_F(PreferenceSyncTest, ANewerCloudRecordReachesLocalAndItsObserversOnly) {
    auto sync = make();
    std::vector<std::string> called;
    sync->observe(key, [&] { called.push_back(key); });
    sync->observe("other", [&] { called.push_back("other"); });
    cloud->memory.values[stored] = encoded(3, "THEM", "false");
    cloud->memory.writes.clear();
    cloud->handler({stored});
    EXPECT_EQ(localRecord(), PreferenceRecord(3, "THEM", "false"));
    EXPECT_EQ(called, std::vector<std::string>{key});
    EXPECT_TRUE(cloud->memory.writes.empty()) << "the cloud already holds the winner";

    local->values[stored] = encoded(4, "ME", "true");
    called.clear();
    cloud->handler({stored});
    EXPECT_EQ(cloudRecord(), PreferenceRecord(4, "ME", "true"));
    EXPECT_TRUE(called.empty()) << "nothing changed locally";
}

TEST_F(PreferenceSyncTest, AChangeOfOtherKeysLeavesAKeyAloneUnlessTheAccountWasUnavailable) {
    auto sync = make();
    cloud->memory.values[stored] = encoded(3, "THEM", "false");
    cloud->handler({"syncedPreference.v1.other"});
    EXPECT_FALSE(localRecord());

    bool available = false;
    auto unavailableBefore = make(PreferenceAccountIdentity::unavailable(), [&] {
        return available ? PreferenceAccountIdentity::account("M") : PreferenceAccountIdentity::unavailable();
    });
    EXPECT_EQ(unavailableBefore->issue(), PreferenceCloudIssue::accountUnavailable);
    available = true;
    cloud->handler({"syncedPreference.v1.other"});
    EXPECT_EQ(localRecord(), PreferenceRecord(3, "THEM", "false"));
}

TEST_F(PreferenceSyncTest, AnotherAccountsMarkerClearsLocalValuesAndStopsEverything) {
    local->values["syncedPreference.account"] = "OLD";
    local->values[stored] = encoded(1, "ME", "true");
    auto sync = make(PreferenceAccountIdentity::account("OLD"),
                     [] { return PreferenceAccountIdentity::account("NEW"); });
    EXPECT_EQ(sync->issue(), PreferenceCloudIssue::accountChanged);
    EXPECT_FALSE(localRecord());
    EXPECT_EQ(sync->account(), PreferenceAccountIdentity::account("OLD"));

    cloud->memory.values[stored] = encoded(2, "THEM", "false");
    sync->set(false, key);
    cloud->handler({});
    EXPECT_FALSE(localRecord());
    EXPECT_EQ(cloudRecord(), PreferenceRecord(2, "THEM", "false"));
}

TEST_F(PreferenceSyncTest, AnAccountChangeReportedByTheCloudClearsAnUntiedSync) {
    local->values[stored] = encoded(1, "ME", "true");
    cloud->cloudIssue = PreferenceCloudIssue::accountChanged;
    auto sync = make();
    EXPECT_EQ(sync->issue(), PreferenceCloudIssue::accountChanged);
    EXPECT_FALSE(localRecord());
}

TEST_F(PreferenceSyncTest, WithoutAnAccountLocalWritesSurviveEveryStartAndALaterAccountStartsClean) {
    PreferenceAccountIdentity current = PreferenceAccountIdentity::unavailable();
    const auto provider = [&] {
        return current;
    };
    {
        auto sync = make(PreferenceAccountIdentity::unavailable(), provider);
        sync->set(false, key);
        EXPECT_EQ(sync->issue(), PreferenceCloudIssue::accountUnavailable);
        EXPECT_EQ(localRecord(), PreferenceRecord(1, "ME", "false"));
        EXPECT_FALSE(cloudRecord()) << "a local-only write";
    }
    {
        auto sync = make(PreferenceAccountIdentity::unavailable(), provider);
        EXPECT_EQ(sync->value<bool>(key), false) << "a start without an account keeps what it wrote";
        sync->set(true, key);
        EXPECT_EQ(localRecord(), PreferenceRecord(2, "ME", "true"));

        current = PreferenceAccountIdentity::account("FIRST");
        cloud->handler({});
        EXPECT_EQ(sync->issue(), std::nullopt);
        EXPECT_FALSE(localRecord()) << "an account that appears starts clean";
        EXPECT_EQ(local->values["syncedPreference.account"], "FIRST");
    }
}

TEST_F(PreferenceSyncTest, WithAQuotaIssueWritesStayLocal) {
    auto sync = make();
    cloud->cloudIssue = PreferenceCloudIssue::quotaExceeded;
    cloud->handler({});
    EXPECT_EQ(sync->issue(), PreferenceCloudIssue::quotaExceeded);
    sync->set(true, key);
    EXPECT_EQ(localRecord(), PreferenceRecord(1, "ME", "true"));
    EXPECT_FALSE(cloudRecord());
}

TEST_F(PreferenceSyncTest, ARevisionThatCannotGrowDropsTheWrite) {
    local->values[stored] = encoded(UINT64_MAX, "ME", "true");
    auto sync = make();
    local->writes.clear();
    sync->set(false, key);
    EXPECT_EQ(sync->value<bool>(key), true);
    EXPECT_TRUE(local->writes.empty());
}

TEST_F(PreferenceSyncTest, ObserversMayRegisterAndRemoveObserversWhileCalled) {
    auto sync = make();
    std::vector<PreferenceSync::ObserverID> ids;
    int calls = 0;
    int addedCalls = 0;
    // Whichever runs first removes both registrations and adds another.
    const auto handler = [&] {
        ++calls;
        for (const auto& id : ids) {
            sync->removeObserver(id);
        }
        sync->observe(key, [&] { ++addedCalls; });
    };
    ids.push_back(sync->observe(key, handler));
    ids.push_back(sync->observe(key, handler));
    cloud->memory.values[stored] = encoded(1, "THEM", "true");
    cloud->handler({stored});
    EXPECT_EQ(calls, 1) << "a removed observer is not called, even later in the same round";
    EXPECT_EQ(addedCalls, 0) << "an observer added during a round waits for the next";
    cloud->memory.values[stored] = encoded(2, "THEM", "false");
    cloud->handler({stored});
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(addedCalls, 1);
}

TEST(PreferenceAccountIdentity, EqualOnlyForTheSameMarkerOrTheSameEmptyCase) {
    EXPECT_EQ(PreferenceAccountIdentity::account("A"), PreferenceAccountIdentity::account("A"));
    EXPECT_NE(PreferenceAccountIdentity::account("A"), PreferenceAccountIdentity::account("B"));
    EXPECT_NE(PreferenceAccountIdentity::account(""), PreferenceAccountIdentity::unavailable());
    EXPECT_NE(PreferenceAccountIdentity::unavailable(), PreferenceAccountIdentity::isolated());
}

} // namespace
} // namespace corbel
