// The repository, its publication and its retries over a scripted store and identity, real
// defaults in a temporary folder, and the manual executor and clock.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/cloud/ScriptedKeyValueStore.hpp"
#include "platform/concurrency/ManualClock.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "tidewright/preferences/KVSPreferenceCloud.hpp"
#include "tidewright/preferences/LocalPreferenceAccount.hpp"
#include "tidewright/preferences/PreferenceKeys.hpp"
#include "tidewright/preferences/PreferenceRepository.hpp"

namespace tidewright {
namespace {

using namespace std::chrono_literals;
using platform::PropertyValue;
using Barrier = PreferenceRepository::AccountBarrier;

const std::string enabledKey(enabledPreferenceKey);

std::string rulePayload(const std::string& app, OpeningAction action = OpeningAction::center,
                        std::uint64_t counter = 1) {
    PreferencePayload payload;
    payload.rules.push_back(OpeningRulePreference{BundleID(app), ItemRevision{counter, "other"}, action});
    return payload.encoded().value();
}

std::string enabledPayload(bool value, std::uint64_t counter = 1) {
    PreferencePayload payload;
    payload.enabled = EnabledPreference{ItemRevision{counter, "other"}, value};
    return payload.encoded().value();
}

// The cloud over the scripted store, with a hook that runs in the middle of a read.
class HookedCloud final : public PreferenceCloud {
public:
    HookedCloud(std::shared_ptr<platform::KeyValueStore> store,
                std::shared_ptr<platform::CloudIdentity> identity)
        : inner_(std::move(store), std::move(identity)) {
        inner_.onEvent = [this](PreferenceCloudEvent event) {
            if (onEvent) {
                onEvent(event);
            }
        };
    }
    PreferenceCloudSnapshot snapshot() override {
        ++snapshots;
        if (auto hook = std::exchange(duringSnapshot, nullptr)) {
            hook();
        }
        return inner_.snapshot();
    }
    void write(std::string_view key, std::string data) override { inner_.write(key, std::move(data)); }

    int snapshots = 0;
    // Runs once, inside the next read.
    std::function<void()> duringSnapshot;

private:
    KVSPreferenceCloud inner_;
};

class PreferenceRepositoryTest : public ::testing::Test {
public:
    QTemporaryDir directory;
    platform::ManualExecutor executor;
    platform::ManualClock clock{executor};
    std::shared_ptr<platform::UserDefaults> defaults = std::make_shared<platform::UserDefaults>(
        std::filesystem::path(directory.path().toStdString()) / "standard.json", executor);
    std::shared_ptr<DefaultsPreferenceCache> cache = std::make_shared<DefaultsPreferenceCache>(defaults);
    std::shared_ptr<platform::ScriptedKeyValueStore> store =
        std::make_shared<platform::ScriptedKeyValueStore>();
    std::shared_ptr<platform::ScriptedCloudIdentity> identity =
        std::make_shared<platform::ScriptedCloudIdentity>();
    std::shared_ptr<HookedCloud> cloud = std::make_shared<HookedCloud>(store, identity);
    std::shared_ptr<LocalPreferenceAccount> accounts =
        std::make_shared<LocalPreferenceAccount>(cache, [this] { return identity->token; });
    std::shared_ptr<PreferenceRepository> repository;
    int changes = 0;

    void SetUp() override { identity->token = platform::scriptedToken(1); }

    std::shared_ptr<PreferenceRepository> make() {
        auto made = PreferenceRepository::create(
            cache, cloud, accounts, "local-writer", executor,
            [clock = &clock](platform::ContinuousDuration d) { return platform::sleepFor(*clock, d); });
        made->onChange = [this] {
            ++changes;
        };
        return made;
    }
    void startFresh() {
        repository = make();
        repository->start();
        executor.runUntilIdle();
    }
    // The marker the registry gives the token, made when the token is new.
    std::string markerOf(std::uint8_t byte) {
        const auto saved = identity->token;
        identity->token = platform::scriptedToken(byte);
        const auto marker = accounts->resolve().marker();
        identity->token = saved;
        return marker;
    }
    std::string cacheKey(const std::string& marker, const std::string& key) {
        return "tidewright.preference.cache." + marker + "." + key;
    }
    std::optional<PreferencePayload> stored(const std::string& key) {
        const auto data = store->data(key);
        return data ? std::optional(PreferencePayload::decode(*data)) : std::nullopt;
    }
};

TEST_F(PreferenceRepositoryTest, AFreshInstallOperatesWithoutRules) {
    identity->token = std::nullopt;
    repository = make();
    const auto summary = repository->summary();
    EXPECT_TRUE(summary.operationEnabled());
    EXPECT_EQ(summary.enabledAvailability(), PreferenceAvailability::available);
    EXPECT_TRUE(summary.usableRules().empty());

    identity->token = platform::scriptedToken(1);
    startFresh();
    EXPECT_TRUE(repository->summary().operationEnabled());
    EXPECT_TRUE(repository->summary().issues().empty());
    EXPECT_TRUE(repository->isSynchronized());
    EXPECT_TRUE(store->writes.empty());
}

TEST_F(PreferenceRepositoryTest, LoadsTheCacheOfTheCurrentAccountOnly) {
    const std::string marker = markerOf(1);
    const std::string ab = ruleKey(BundleID("a.b"));
    cache->set(cacheKey(marker, enabledKey), enabledPayload(false));
    cache->set(cacheKey(markerOf(2), ab), rulePayload("a.b"));
    cache->set(cacheKey("offline", ab), rulePayload("a.b", OpeningAction::maximize));
    cache->set(cacheKey(marker, "tidewright.preference.v2.enabled"), enabledPayload(true));

    repository = make();
    EXPECT_FALSE(repository->summary().operationEnabled());
    EXPECT_TRUE(repository->summary().usableRules().empty());

    identity->token = std::nullopt;
    repository = make();
    EXPECT_TRUE(repository->summary().operationEnabled());
    EXPECT_EQ(repository->summary().usableRules(),
              (std::map<BundleID, OpeningAction>{{BundleID("a.b"), OpeningAction::maximize}}));
}

TEST_F(PreferenceRepositoryTest, ARuleUnderAnotherApplicationsKeyIsNeitherUsedNorOverwritten) {
    const std::string marker = markerOf(1);
    const std::string ab = ruleKey(BundleID("a.b"));
    const std::string cd = ruleKey(BundleID("c.d"));
    cache->set(cacheKey(marker, ab), rulePayload("c.d"));
    store->values.insert_or_assign(cd, PropertyValue::data(rulePayload("a.b")));
    startFresh();

    const auto summary = repository->summary();
    EXPECT_TRUE(summary.usableRules().empty());
    ASSERT_EQ(summary.issues().size(), 2u);
    for (const auto& notice : summary.issues()) {
        EXPECT_EQ(notice.origin, PreferenceIssueOrigin::unknownRule());
        EXPECT_EQ(notice.issue, PreferenceSummaryIssue::preference(PreferenceIssue::invalidPayload));
    }
    EXPECT_EQ(cache->data(cacheKey(marker, ab)), rulePayload("c.d"));
    EXPECT_TRUE(store->writes.empty());

    // An edit of a.b is held in memory only: the damaged value stays for the user to see.
    repository->apply(PreferenceEdit::rule(BundleID("a.b"), OpeningAction::center));
    executor.runUntilIdle();
    EXPECT_EQ(cache->data(cacheKey(marker, ab)), rulePayload("c.d"));
    EXPECT_TRUE(store->writes.empty());
}

TEST_F(PreferenceRepositoryTest, ALaterVersionReachesThePolicyUnchanged) {
    store->values.insert_or_assign(enabledKey, PropertyValue::data(R"({"version":2,"rules":"later"})"));
    startFresh();
    ASSERT_FALSE(repository->summary().issues().empty());
    EXPECT_EQ(repository->summary().issues().front().issue,
              PreferenceSummaryIssue::preference(PreferenceIssue::futureVersion));
    EXPECT_TRUE(store->writes.empty());
}

TEST_F(PreferenceRepositoryTest, AnEditIsCachedAndPublished) {
    startFresh();
    const int before = changes;
    repository->apply(PreferenceEdit::rule(BundleID("a.b"), OpeningAction::maximize));
    EXPECT_EQ(store->writes, std::vector<std::string>{}) << "publication runs on a later turn";
    executor.runUntilIdle();

    const std::string ab = ruleKey(BundleID("a.b"));
    EXPECT_EQ(store->writes, (std::vector<std::string>{"set " + ab}));
    ASSERT_TRUE(stored(ab));
    EXPECT_EQ(stored(ab)->action(BundleID("a.b")), OpeningAction::maximize);
    EXPECT_EQ(stored(ab)->rules.front().revision.writer, "local-writer");
    EXPECT_EQ(cache->data(cacheKey(repository->account().marker(), ab)), store->data(ab));
    EXPECT_TRUE(repository->pendingKeys().empty());
    EXPECT_GT(changes, before);
    EXPECT_EQ(repository->summary().usableRules(),
              (std::map<BundleID, OpeningAction>{{BundleID("a.b"), OpeningAction::maximize}}));
}

TEST_F(PreferenceRepositoryTest, AnEditWhileNotSynchronizedWaitsForARetry) {
    store->synchronizeAnswer = false;
    startFresh();
    repository->apply(PreferenceEdit::enabled(false));
    executor.runUntilIdle();
    EXPECT_TRUE(store->writes.empty());
    EXPECT_EQ(repository->pendingKeys(), (std::set<std::string, std::less<>>{enabledKey}));
    EXPECT_TRUE(repository->hasRetry());
    EXPECT_TRUE(cache->data(cacheKey(repository->account().marker(), enabledKey)).has_value());
    EXPECT_FALSE(repository->summary().operationEnabled());

    store->synchronizeAnswer = true;
    clock.advance(1s);
    EXPECT_EQ(store->writes, (std::vector<std::string>{"set " + enabledKey}));
    EXPECT_TRUE(repository->pendingKeys().empty());
    EXPECT_FALSE(repository->hasRetry());
}

TEST_F(PreferenceRepositoryTest, ACloudThatNeverSynchronizesIsReadAtOneFourAndFourteenSeconds) {
    store->synchronizeAnswer = false;
    startFresh();
    EXPECT_EQ(cloud->snapshots, 1);
    EXPECT_TRUE(repository->isAwaitingCloudRead());
    const std::vector<std::pair<platform::ContinuousDuration, int>> steps{
        {999ms, 1}, {1ms, 2}, {2999ms, 2}, {1ms, 3}, {9999ms, 3}, {1ms, 4}, {1h, 4}};
    for (const auto& [step, reads] : steps) {
        clock.advance(step);
        EXPECT_EQ(cloud->snapshots, reads);
    }
    EXPECT_FALSE(repository->hasRetry());
    EXPECT_EQ(clock.pendingTimers(), 0u);
}

struct QuotaCase {
    const char* name;
    std::size_t otherKeys;
    bool accepted;
};

class PreferenceQuotaTest : public PreferenceRepositoryTest,
                            public ::testing::WithParamInterface<QuotaCase> {};

TEST_P(PreferenceQuotaTest, ANewKeyCountsAgainstTheStoresKeys) {
    for (std::size_t i = 0; i < GetParam().otherKeys; ++i) {
        store->values.insert_or_assign("k" + std::to_string(i), PropertyValue::integer(1));
    }
    startFresh();
    const int before = changes;
    repository->apply(PreferenceEdit::rule(BundleID("a.b"), OpeningAction::center));
    executor.runUntilIdle();
    const std::string ab = ruleKey(BundleID("a.b"));
    if (GetParam().accepted) {
        EXPECT_TRUE(store->data(ab).has_value());
        EXPECT_TRUE(repository->pendingKeys().empty());
        EXPECT_EQ(repository->cloudState(), PreferenceCloudState::available);
    } else {
        EXPECT_TRUE(store->writes.empty());
        EXPECT_FALSE(repository->isSynchronized());
        EXPECT_EQ(repository->cloudState(), PreferenceCloudState::quotaExceeded);
        EXPECT_EQ(repository->pendingKeys(), (std::set<std::string, std::less<>>{ab}));
        EXPECT_GE(changes, before + 2) << "the edit and the refusal";
        EXPECT_TRUE(repository->hasRetry());
        EXPECT_EQ(repository->summary().issues().front().issue,
                  PreferenceSummaryIssue::preference(PreferenceIssue::storageLimit));
    }
}

INSTANTIATE_TEST_SUITE_P(Limits, PreferenceQuotaTest,
                         ::testing::Values(QuotaCase{"fillsTheStore", 1023, true},
                                           QuotaCase{"oneKeyTooMany", 1024, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PreferenceRepositoryTest, AStoreThatCannotBeMeasuredRefusesEveryBatch) {
    // The largest size plus the batch's estimate must not wrap round to a small size.
    const std::string ab = ruleKey(BundleID("a.b"));
    cache->set(cacheKey(markerOf(1), ab), rulePayload("a.b"));
    store->values.insert_or_assign("other", PropertyValue::string("control \x01 character"));
    startFresh();
    EXPECT_TRUE(store->writes.empty());
    EXPECT_EQ(repository->cloudState(), PreferenceCloudState::quotaExceeded);
    EXPECT_EQ(repository->pendingKeys(), (std::set<std::string, std::less<>>{ab}));
}

TEST_F(PreferenceRepositoryTest, ADiscardedReadThatSwitchedTheAccountReportsTheChange) {
    startFresh();
    const auto before = repository->summary();
    const std::string first = repository->account().marker();
    const int changesBefore = changes;
    cloud->duringSnapshot = [this] {
        identity->token = platform::scriptedToken(2);
    };
    repository->refresh();
    EXPECT_NE(repository->account().marker(), first);
    EXPECT_NE(repository->summary(), before);
    EXPECT_EQ(changes, changesBefore + 1);
}

TEST_F(PreferenceRepositoryTest, TheAccountBarrierWaitsForBothSignals) {
    struct Step {
        const char* what;
        std::function<void(PreferenceRepositoryTest&)> act;
        Barrier barrier;
        PreferenceCloudState state;
    };
    const auto notice = [](PreferenceRepositoryTest& t) {
        t.store->deliver(platform::KeyValueStoreChangeReason::accountChange, {});
    };
    const auto newAccount = [](std::uint8_t byte) {
        return [byte](PreferenceRepositoryTest& t) {
            t.identity->change(platform::scriptedToken(byte));
        };
    };
    const auto restart = [](PreferenceRepositoryTest& t) {
        t.repository->stop();
        t.repository->start();
    };
    const std::vector<std::pair<const char*, std::vector<Step>>> sequences{
        {"noticeFirst",
         {{"notice", notice, Barrier::identity, PreferenceCloudState::unavailable},
          {"marker", newAccount(2), Barrier::ready, PreferenceCloudState::available}}},
        {"markerFirst",
         {{"marker", newAccount(2), Barrier::replacement, PreferenceCloudState::unavailable},
          {"notice", notice, Barrier::ready, PreferenceCloudState::available}}},
        {"twoMarkers",
         {{"marker", newAccount(2), Barrier::replacement, PreferenceCloudState::unavailable},
          {"marker", newAccount(3), Barrier::ambiguous, PreferenceCloudState::unavailable},
          {"notice", notice, Barrier::ambiguous, PreferenceCloudState::unavailable},
          {"restart", restart, Barrier::ready, PreferenceCloudState::available}}},
    };
    for (const auto& [name, steps] : sequences) {
        SCOPED_TRACE(name);
        identity->token = platform::scriptedToken(1);
        startFresh();
        for (const auto& step : steps) {
            SCOPED_TRACE(step.what);
            const int reads = cloud->snapshots;
            step.act(*this);
            executor.runUntilIdle();
            EXPECT_EQ(repository->barrier(), step.barrier);
            EXPECT_EQ(repository->cloudState(), step.state);
            // The cloud is read exactly when the barrier lets it.
            EXPECT_EQ(cloud->snapshots > reads, step.barrier == Barrier::ready);
        }
        repository->stop();
    }
}

TEST_F(PreferenceRepositoryTest, CloudEventsWhileStoppedDoNothing) {
    repository = make();
    store->values.insert_or_assign(enabledKey, PropertyValue::data(enabledPayload(false)));
    for (auto reason : {platform::KeyValueStoreChangeReason::serverChange,
                        platform::KeyValueStoreChangeReason::quotaViolationChange,
                        platform::KeyValueStoreChangeReason::accountChange}) {
        store->deliver(reason, {});
    }
    identity->change(platform::scriptedToken(2));
    repository->apply(PreferenceEdit::enabled(false));
    repository->refresh();
    executor.runUntilIdle();
    EXPECT_EQ(cloud->snapshots, 0);
    EXPECT_EQ(changes, 0);
    EXPECT_TRUE(repository->summary().operationEnabled());

    identity->token = platform::scriptedToken(1);
    startFresh();
    repository->stop();
    const int reads = cloud->snapshots;
    store->deliver(platform::KeyValueStoreChangeReason::serverChange, {});
    executor.runUntilIdle();
    EXPECT_EQ(cloud->snapshots, reads);
}

TEST_F(PreferenceRepositoryTest, AQuotaNoticeShowsTheLimitUntilTheNextGoodRead) {
    startFresh();
    store->deliver(platform::KeyValueStoreChangeReason::quotaViolationChange, {});
    executor.runUntilIdle();
    EXPECT_EQ(repository->cloudState(), PreferenceCloudState::quotaExceeded);
    EXPECT_EQ(repository->summary().issues().front().issue,
              PreferenceSummaryIssue::preference(PreferenceIssue::storageLimit));
    repository->refresh();
    executor.runUntilIdle();
    EXPECT_EQ(repository->cloudState(), PreferenceCloudState::available);
    EXPECT_TRUE(repository->summary().issues().empty());
}

TEST_F(PreferenceRepositoryTest, AnInitialDownloadIsReadOnARetryWithoutAChangeNotice) {
    startFresh();
    const int before = changes;
    store->values.insert_or_assign(enabledKey, PropertyValue::data(enabledPayload(false)));
    store->deliver(platform::KeyValueStoreChangeReason::initialSyncChange, {});
    executor.runUntilIdle();
    EXPECT_EQ(changes, before);
    EXPECT_TRUE(repository->summary().operationEnabled());
    clock.advance(1s);
    EXPECT_FALSE(repository->summary().operationEnabled());
    EXPECT_FALSE(repository->hasRetry());
}

TEST_F(PreferenceRepositoryTest, StopMakesAPublicationInFlightStale) {
    startFresh();
    repository->apply(PreferenceEdit::enabled(false));
    ASSERT_TRUE(repository->hasPublication());
    repository->stop();
    executor.runUntilIdle();
    EXPECT_TRUE(store->writes.empty());
    EXPECT_EQ(repository->pendingKeys(), (std::set<std::string, std::less<>>{enabledKey}));
    // Destroying the repository with its tasks queued leaves them nothing to touch.
    repository->start();
    repository.reset();
    executor.runUntilIdle();
    clock.advance(1min);
}

} // namespace
} // namespace tidewright
