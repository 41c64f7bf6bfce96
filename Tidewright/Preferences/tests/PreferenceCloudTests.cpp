// The preference keys, the cloud over a scripted store and the checks on stored data.

#include <gtest/gtest.h>

#include <limits>

#include "platform/cloud/PropertyListSize.hpp"
#include "platform/cloud/ScriptedKeyValueStore.hpp"
#include "tidewright/preferences/KVSPreferenceCloud.hpp"
#include "tidewright/preferences/PreferenceKeys.hpp"
#include "tidewright/preferences/StoredPreferenceData.hpp"

namespace tidewright {
namespace {

using platform::KeyValueStoreChangeReason;
using platform::PropertyValue;

std::string rulePayload(const std::string& app, std::uint64_t counter = 1, bool withEnabled = false) {
    PreferencePayload payload;
    payload.rules.push_back(
        OpeningRulePreference{BundleID(app), ItemRevision{counter, "W"}, OpeningAction::center});
    if (withEnabled) {
        payload.enabled = EnabledPreference{ItemRevision{1, "W"}, false};
    }
    return payload.encoded().value();
}

TEST(PreferenceKeysTest, RuleKeysAreTheHexDigestOfTheIdentifier) {
    EXPECT_EQ(
        ruleKey(BundleID("com.example.app")),
        "tidewright.preference.v1.rule.8a464e05bf037af2432200c8687455fcd1e0a804d69c8a30d29da59f584ac77f");
    for (const char* app : {"a.b", "org.gnome.Nautilus", "desktop.x--y-2E"}) {
        const auto key = ruleKey(BundleID(app));
        EXPECT_EQ(key.size(), 94u) << app;
        EXPECT_TRUE(isPreferenceKey(key));
        EXPECT_EQ(key.substr(30).find_first_not_of("0123456789abcdef"), std::string::npos) << key;
    }
    EXPECT_TRUE(isPreferenceKey("tidewright.preference.v1.enabled"));
    EXPECT_FALSE(isPreferenceKey("tidewright.preference.v1.enabledx"));
    EXPECT_FALSE(isPreferenceKey("tidewright.preference.v2.rule.x"));
    EXPECT_FALSE(isPreferenceKey("syncedPreference.v1.rule.x"));
}

class KVSPreferenceCloudTest : public ::testing::Test {
protected:
    std::shared_ptr<platform::ScriptedKeyValueStore> store =
        std::make_shared<platform::ScriptedKeyValueStore>();
    std::shared_ptr<platform::ScriptedCloudIdentity> identity =
        std::make_shared<platform::ScriptedCloudIdentity>();
    std::unique_ptr<KVSPreferenceCloud> cloud = std::make_unique<KVSPreferenceCloud>(store, identity);
    std::vector<PreferenceCloudEvent> events;

    void listen() {
        cloud->onEvent = [this](PreferenceCloudEvent event) {
            events.push_back(event);
        };
    }
};

TEST_F(KVSPreferenceCloudTest, NoticesBecomeEventsByTheirReason) {
    listen();
    platform::PropertyValue::Dictionary stringReason{{"reason", PropertyValue::string("3")}};
    platform::PropertyValue::Dictionary integerReason7{{"reason", PropertyValue::integer(7)}};
    store->deliver(KeyValueStoreChangeReason::serverChange, {});
    store->deliver(KeyValueStoreChangeReason::initialSyncChange, {});
    store->deliver(KeyValueStoreChangeReason::quotaViolationChange, {});
    store->deliver(KeyValueStoreChangeReason::accountChange, {});
    store->deliver(platform::KeyValueStoreChange{});
    store->deliver(platform::KeyValueStoreChange{integerReason7});
    store->deliver(platform::KeyValueStoreChange{stringReason});
    identity->change(platform::scriptedToken(1));
    EXPECT_EQ(events, (std::vector<PreferenceCloudEvent>{
                          PreferenceCloudEvent::server, PreferenceCloudEvent::initialDownload,
                          PreferenceCloudEvent::quota, PreferenceCloudEvent::accountChanged,
                          PreferenceCloudEvent::server, PreferenceCloudEvent::server,
                          PreferenceCloudEvent::server, PreferenceCloudEvent::identityChanged}));
}

TEST_F(KVSPreferenceCloudTest, NoticesWithoutAHandlerOrAfterTheCloudAreDropped) {
    store->deliver(KeyValueStoreChangeReason::serverChange, {});
    identity->change(platform::scriptedToken(1));
    EXPECT_TRUE(events.empty());
    cloud.reset();
    EXPECT_FALSE(store->hasObservers());
    identity->change(platform::scriptedToken(2)); // would reach a destroyed cloud
}

TEST_F(KVSPreferenceCloudTest, TheSnapshotListsPreferenceKeysAndMeasuresTheWholeStore) {
    const std::string rule = ruleKey(BundleID("a.b"));
    store->values = {
        {"tidewright.preference.v1.enabled", PropertyValue::data("{}")},
        {rule, PropertyValue::string("not data")},
        {"other.app.key", PropertyValue::integer(4)},
        {"tidewright.preference.v0.enabled", PropertyValue::data("old")},
    };
    store->synchronizeAnswer = false;
    const auto snapshot = cloud->snapshot();
    EXPECT_EQ(store->synchronizeCalls, 1);
    EXPECT_FALSE(snapshot.synchronized);
    EXPECT_EQ(snapshot.values, (std::map<std::string, std::string, std::less<>>{
                                   {"tidewright.preference.v1.enabled", "{}"}, {rule, ""}}));
    EXPECT_EQ(snapshot.keyCount, 4u);
    EXPECT_EQ(snapshot.byteCount, platform::xmlPropertyListSize(PropertyValue::dictionary(store->values)));
}

TEST_F(KVSPreferenceCloudTest, AStoreThatCannotBeMeasuredCountsAsFull) {
    store->values = {{"other", PropertyValue::string("control \x01 character")}};
    EXPECT_EQ(cloud->snapshot().byteCount, std::numeric_limits<std::size_t>::max());
}

TEST_F(KVSPreferenceCloudTest, WritesBytes) {
    cloud->write("tidewright.preference.v1.enabled", "payload");
    EXPECT_EQ(store->data("tidewright.preference.v1.enabled"), "payload");
    EXPECT_EQ(store->writes, (std::vector<std::string>{"set tidewright.preference.v1.enabled"}));
}

struct StoredDataCase {
    const char* name;
    std::string key;
    std::string data;
    bool accepted;
    std::optional<std::string> fragmentApp; // "" for the on/off fragment
};

class StoredPreferenceDataTest : public ::testing::TestWithParam<StoredDataCase> {};

TEST_P(StoredPreferenceDataTest, AcceptanceAndFragment) {
    const auto& c = GetParam();
    EXPECT_EQ(acceptsPreferenceData(c.key, c.data), c.accepted);
    const auto fragment = preferenceDataFragment(c.key, c.data);
    if (!c.fragmentApp) {
        EXPECT_FALSE(fragment.has_value());
    } else if (c.fragmentApp->empty()) {
        EXPECT_EQ(fragment, PreferenceFragment::enabled());
    } else {
        EXPECT_EQ(fragment, PreferenceFragment::rule(BundleID(*c.fragmentApp)));
    }
}

const std::string enabledKey(enabledPreferenceKey);
const std::string abKey = ruleKey(BundleID("a.b"));
const std::string emptyV1 = R"({"rules":[],"version":1})";

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredPreferenceDataTest,
    ::testing::Values(
        StoredDataCase{"enabledKeyAnyPayload", enabledKey, rulePayload("a.b"), true, ""},
        StoredDataCase{"enabledKeyGarbageStillEnabledFragment", enabledKey, "garbage", false, ""},
        StoredDataCase{"ruleUnderItsOwnKey", abKey, rulePayload("a.b"), true, "a.b"},
        StoredDataCase{"ruleUnderAnotherKey", abKey, rulePayload("c.d"), false, std::nullopt},
        StoredDataCase{"emptyRulePayload", abKey, emptyV1, true, std::nullopt},
        StoredDataCase{
            "enabledValueUnderARuleKey", abKey,
            R"({"enabled":{"revision":{"counter":1,"writer":"W"},"value":false},"rules":[],"version":1})",
            false, std::nullopt},
        StoredDataCase{"ruleWithEnabledUnderItsKey", abKey, rulePayload("a.b", 1, true), true, "a.b"},
        StoredDataCase{"laterVersionAcceptedForAnyKey", abKey, R"({"version":2,"rules":"later"})", true,
                       std::nullopt},
        StoredDataCase{"versionZeroDecodesAndHasNoFragment", abKey,
                       R"({"version":0,"rules":[{"app":"a.b","revision":{"counter":1,"writer":"W"}}]})", true,
                       std::nullopt},
        // The same strictness as the policy's: these never count as a later version.
        StoredDataCase{"byteOrderMark", abKey, "\xEF\xBB\xBF{\"version\":2,\"rules\":[]}", false,
                       std::nullopt},
        StoredDataCase{"nulByte", abKey, std::string("{\"version\":2,\"rules\":[]}\0", 25), false,
                       std::nullopt},
        StoredDataCase{"versionOutOfRange", abKey, R"({"version":9223372036854775808,"rules":[]})", false,
                       std::nullopt},
        StoredDataCase{"versionAsFraction", abKey, R"({"version":2.0,"rules":[]})", false, std::nullopt},
        // A repeated key keeps its last value, as the policy reads it.
        StoredDataCase{"repeatedVersionLastWins", abKey, R"({"version":1,"version":3,"rules":[]})", true,
                       std::nullopt},
        StoredDataCase{"repeatedVersionLastIsOne", abKey, R"({"version":3,"version":1,"rules":[]})", true,
                       std::nullopt},
        StoredDataCase{"notAnObject", abKey, "[1]", false, std::nullopt},
        StoredDataCase{"emptyData", abKey, "", false, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tidewright
