// The snapshot merge on its own: one table of entries and store values, and what each key becomes.

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "PreferenceTestSupport.hpp"
#include "tidewright/preferences/PreferenceKeys.hpp"
#include "tidewright/preferences/PreferenceSnapshotMerge.hpp"

namespace tidewright {
namespace {

using namespace testing_support;

const std::string enabledKey(enabledPreferenceKey);
const std::string ruleOfA = ruleKey(app("org.example.A"));

// A key the repository holds, as it loads one from the cache.
PreferenceEntry held(const std::string& key, PreferencePayload value) {
    const auto fragment =
        key == enabledKey ? PreferenceFragment::enabled() : PreferenceFragment::rule(app("org.example.A"));
    return PreferenceEntry{PreferencePolicy(std::move(value), fragment), true, fragment};
}

// A key the repository does not hold yet, as it starts one.
PreferenceEntry fresh(std::string_view key) {
    std::optional<PreferenceFragment> fragment;
    if (key == enabledKey) {
        fragment = PreferenceFragment::enabled();
    }
    return PreferenceEntry{PreferencePolicy(PreferencePayload::empty(), fragment), true, fragment};
}

struct Expected {
    std::string key;
    PreferencePayload payload;
    bool cached; // the new payload is written to the cache
    bool publish;
    bool settle;
};

struct MergeCase {
    const char* name;
    std::vector<std::pair<std::string, PreferencePayload>> entries;
    std::map<std::string, std::string, std::less<>> values;
    bool synchronized;
    std::vector<Expected> expected; // in key order
};

class SnapshotMergeCases : public ::testing::TestWithParam<MergeCase> {};

TEST_P(SnapshotMergeCases, EachKeyBecomesWhatItsPolicyDecides) {
    const MergeCase& c = GetParam();
    PreferenceEntries entries;
    for (const auto& [key, value] : c.entries) {
        entries.emplace(key, held(key, value));
    }
    const auto updates = mergePreferenceSnapshot(entries, c.values, c.synchronized, fresh);
    ASSERT_EQ(updates.size(), c.expected.size());
    auto update = updates.begin();
    for (const Expected& e : c.expected) {
        EXPECT_EQ(update->first, e.key);
        EXPECT_EQ(update->second.entry.policy.snapshot(), e.payload) << e.key;
        EXPECT_EQ(update->second.cacheWrite,
                  e.cached ? std::optional<std::string>(encode(e.payload)) : std::nullopt)
            << e.key;
        EXPECT_EQ(update->second.publish, e.publish) << e.key;
        EXPECT_EQ(update->second.settle, e.settle) << e.key;
        ++update;
    }
}

const PreferencePayload off1 = payload(onOff(false, 1));
const PreferencePayload on2 = payload(onOff(true, 2));
const PreferencePayload on3 = payload(onOff(true, 3));
const PreferencePayload maximizeA = payload(std::nullopt, {rule("org.example.A", 1, maximize)});
const PreferencePayload maximizeB = payload(std::nullopt, {rule("org.example.B", 1, maximize)});

INSTANTIATE_TEST_SUITE_P(
    SnapshotMerge, SnapshotMergeCases,
    ::testing::Values(
        MergeCase{"aNewerStoredValueIsAdoptedCachedAndSettled", {{enabledKey, off1}}, {{enabledKey, encode(on2)}},
                  true, {{enabledKey, on2, true, false, true}}},
        MergeCase{"aNewerLocalValueIsPublished", {{enabledKey, on3}}, {{enabledKey, encode(on2)}}, true,
                  {{enabledKey, on3, false, true, false}}},
        MergeCase{"aKeyTheCompleteReadLacksIsPublished", {{enabledKey, on3}}, {}, true,
                  {{enabledKey, on3, false, true, false}}},
        MergeCase{"aKeyOnlyInTheStoreStartsFreshAndIsAdopted", {}, {{ruleOfA, encode(maximizeA)}}, true,
                  {{ruleOfA, maximizeA, true, false, true}}},
        MergeCase{"keysOfBothSidesInKeyOrder", {{enabledKey, on3}}, {{ruleOfA, encode(maximizeA)}}, true,
                  {{enabledKey, on3, false, true, false}, {ruleOfA, maximizeA, true, false, true}}},
        // Another application's rule under A's key is data A's key does not accept.
        MergeCase{"dataTheKeyRefusesIsNeitherUsedNorOverwritten", {}, {{ruleOfA, encode(maximizeB)}}, true,
                  {{ruleOfA, PreferencePayload::empty(), false, false, false}}},
        // The key waits as pending; the repository publishes only after a complete read.
        MergeCase{"anIncompleteReadStillLeavesANewerLocalValuePending", {{enabledKey, on3}},
                  {{enabledKey, encode(on2)}}, false, {{enabledKey, on3, false, true, false}}}),
    [](const ::testing::TestParamInfo<MergeCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace tidewright
