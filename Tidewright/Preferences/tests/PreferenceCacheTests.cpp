// The local cache over real user defaults, and the application's writer identity.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/concurrency/ManualExecutor.hpp"
#include "tidewright/preferences/PreferenceCache.hpp"
#include "tidewright/preferences/PreferenceWriter.hpp"

namespace tidewright {
namespace {

class PreferenceCacheTest : public ::testing::Test {
protected:
    QTemporaryDir directory;
    platform::ManualExecutor executor;
    std::shared_ptr<platform::UserDefaults> defaults = std::make_shared<platform::UserDefaults>(
        std::filesystem::path(directory.path().toStdString()) / "standard.json", executor);
    DefaultsPreferenceCache cache{defaults};
};

TEST_F(PreferenceCacheTest, EntriesAreTheKeysWithThePrefixOnly) {
    const std::string prefix = "tidewright.preference.cache.A.";
    for (const std::string key :
         {"tidewright.preference.cache.A.tidewright.preference.v1.enabled", "tidewright.preference.cache.A.x",
          "tidewright.preference.cache.AB.x", "tidewright.preference.cache.offline.x",
          "tidewright.preference.writer", "tidewright.preference.cache.A", "a"}) {
        cache.set(key, "payload");
    }
    defaults->setString("tidewright.preference.cache.A.text", "not data, still a key");
    EXPECT_EQ(cache.entries(prefix), (std::vector<std::string>{
                                         "tidewright.preference.cache.A.text",
                                         "tidewright.preference.cache.A.tidewright.preference.v1.enabled",
                                         "tidewright.preference.cache.A.x",
                                     }));
    EXPECT_TRUE(cache.entries("nothing.").empty());
}

TEST_F(PreferenceCacheTest, ForwardsBytesToTheDefaults) {
    cache.set("k", "bytes");
    EXPECT_EQ(defaults->data("k"), "bytes");
    defaults->setString("text", "t");
    EXPECT_EQ(cache.data("text"), std::nullopt);
    cache.removeObject("k");
    EXPECT_EQ(cache.data("k"), std::nullopt);
}

TEST_F(PreferenceCacheTest, TheWriterIsMadeOnceAndAnUnusableOneIsReplaced) {
    const std::string writer = preferenceWriter(*defaults);
    EXPECT_EQ(defaults->string("tidewright.preference.writer"), writer);
    EXPECT_EQ(preferenceWriter(*defaults), writer);
    defaults->setString("tidewright.preference.writer", std::string(129, 'w'));
    const std::string replaced = preferenceWriter(*defaults);
    EXPECT_NE(replaced, writer);
    EXPECT_EQ(replaced.size(), 36u);
}

} // namespace
} // namespace tidewright
