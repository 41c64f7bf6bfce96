// Resolving the account through the registry in real user defaults.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

#include "corbel/core/Base64.hpp"
#include "platform/cloud/ScriptedKeyValueStore.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "tidewright/preferences/AccountRegistry.hpp"
#include "tidewright/preferences/LocalPreferenceAccount.hpp"
#include "tidewright/preferences/PreferenceCache.hpp"

namespace tidewright {
namespace {

using platform::CloudIdentityToken;
using platform::scriptedToken;

class LocalPreferenceAccountTest : public ::testing::Test {
protected:
    std::optional<std::string> stored() { return cache->data(AccountRegistry::defaultsKey); }
    void store(const AccountRegistry& registry) {
        cache->set(AccountRegistry::defaultsKey, *registry.encode());
    }
    PreferenceAccount resolveWith(std::optional<CloudIdentityToken> current) {
        token = current;
        return account.resolve();
    }
    static AccountRegistry registryOf(std::size_t count) {
        AccountRegistry registry;
        for (std::size_t i = 0; i < count; ++i) {
            registry.records.push_back(
                {scriptedToken(static_cast<std::uint8_t>(i)).archive(), "M" + std::to_string(i)});
        }
        return registry;
    }

    QTemporaryDir directory;
    platform::ManualExecutor executor;
    std::shared_ptr<platform::UserDefaults> defaults = std::make_shared<platform::UserDefaults>(
        std::filesystem::path(directory.path().toStdString()) / "standard.json", executor);
    std::shared_ptr<DefaultsPreferenceCache> cache = std::make_shared<DefaultsPreferenceCache>(defaults);
    std::optional<CloudIdentityToken> token;
    LocalPreferenceAccount account{cache, [this] {
                                       return token;
                                   }};
};

TEST_F(LocalPreferenceAccountTest, WithoutATokenIsUnavailableAndWritesNothing) {
    EXPECT_EQ(resolveWith(std::nullopt), PreferenceAccount::unavailable());
    EXPECT_EQ(stored(), std::nullopt);
}

TEST_F(LocalPreferenceAccountTest, AnAccountKeepsTheMarkerMadeWhenItWasFirstSeen) {
    const auto first = resolveWith(scriptedToken(1));
    ASSERT_TRUE(first.isAvailable());
    EXPECT_EQ(first.marker().size(), 36u);
    const auto registry = stored();
    ASSERT_TRUE(registry);
    EXPECT_EQ(AccountRegistry::decode(*registry)->records,
              (std::vector<AccountRegistry::Record>{{scriptedToken(1).archive(), first.marker()}}));

    EXPECT_EQ(resolveWith(scriptedToken(1)), first);
    EXPECT_EQ(stored(), registry) << "a known account writes nothing";

    const auto second = resolveWith(scriptedToken(2));
    ASSERT_TRUE(second.isAvailable());
    EXPECT_NE(second, first);
    EXPECT_EQ(AccountRegistry::decode(*stored())->records.size(), 2u);
    EXPECT_EQ(resolveWith(scriptedToken(1)), first);
}

TEST_F(LocalPreferenceAccountTest, ADamagedRegistryMakesEveryResolutionUnavailableAndIsKept) {
    const std::string damaged[] = {
        R"({"version":2,"records":[]})",
        *registryOf(33).encode(),
        "not json",
    };
    for (const auto& data : damaged) {
        cache->set(AccountRegistry::defaultsKey, data);
        EXPECT_EQ(resolveWith(scriptedToken(0)), PreferenceAccount::unavailable()) << data.substr(0, 40);
        EXPECT_EQ(resolveWith(scriptedToken(99)), PreferenceAccount::unavailable()) << data.substr(0, 40);
        EXPECT_EQ(stored(), data) << "never repaired or overwritten";
    }
}

TEST_F(LocalPreferenceAccountTest, ADamagedRecordAfterTheMatchingOneStillDamagesTheRegistry) {
    auto notAToken = registryOf(2);
    notAToken.records[1].archive = "not an archive";
    store(notAToken);
    EXPECT_EQ(resolveWith(scriptedToken(0)), PreferenceAccount::unavailable());

    // The same for damage that the decoder finds, behind a first record that matches.
    const std::string emptyMarker = R"({"version":1,"records":[{"archive":")" +
                                    corbel::base64Encode(scriptedToken(0).archive()) +
                                    R"(","marker":"M0"},{"archive":"","marker":""}]})";
    cache->set(AccountRegistry::defaultsKey, emptyMarker);
    EXPECT_EQ(resolveWith(scriptedToken(0)), PreferenceAccount::unavailable());
    EXPECT_EQ(stored(), emptyMarker);
}

TEST_F(LocalPreferenceAccountTest, AFullRegistryResolvesWhatItKnowsOnly) {
    store(registryOf(32));
    const auto before = stored();
    EXPECT_EQ(resolveWith(scriptedToken(31)), PreferenceAccount::account("M31"));
    EXPECT_EQ(resolveWith(scriptedToken(200)), PreferenceAccount::unavailable());
    EXPECT_EQ(stored(), before);
}

} // namespace
} // namespace tidewright
