// Key file names: one canonical name per key, and every other name invisible.

#include <gtest/gtest.h>

#include "platform/cloud/KeyFileName.hpp"

namespace platform {
namespace {

TEST(KeyFileName, EncodesEveryByteButLettersDigitsHyphenAndUnderscore) {
    const struct {
        std::string key;
        std::string name;
    } cases[] = {
        {"tidewright.preference.v1.enabled", "tidewright%2Epreference%2Ev1%2Eenabled.kv"},
        {"A-z_09", "A-z_09.kv"},
        {"a b/c", "a%20b%2Fc.kv"},
        {"%", "%25.kv"},
        {"\xc3\xbc", "%C3%BC.kv"},
        {".", "%2E.kv"},
    };
    for (const auto& [key, name] : cases) {
        EXPECT_EQ(keyFileName(key), name) << key;
        EXPECT_EQ(keyForFileName(name), key) << name;
    }
}

TEST(KeyFileName, ARuleKeyRoundTripsWithinOneFileName) {
    const std::string key = "tidewright.preference.v1.rule." + std::string(64, 'a');
    ASSERT_EQ(key.size(), 94u);
    EXPECT_EQ(keyFileName(key).size(), 105u); // four dots take two more bytes each
    EXPECT_EQ(keyForFileName(keyFileName(key)), key);
}

TEST(KeyFileName, EveryOtherNameIsInvisible) {
    const std::string enabled = "tidewright%2Epreference%2Ev1%2Eenabled";
    const std::string names[] = {
        enabled + " (conflicted copy 2026-12-10).kv",
        enabled + ".sync-conflict-20261210-101010-ABCDEFG.kv",
        enabled + ".kv.AbCdEf",
        "." + enabled + ".kv.tmp",
        "account",
        ".kv",
        "%41.kv",   // "A" must be written as itself
        "a%2eb.kv", // hex digits are upper case
        "%.kv",
        "%4.kv",
        "%C3.kv",       // not UTF-8
        "%ED%A0%80.kv", // a surrogate
        std::string(129, 'k') + ".kv",
        enabled + ".KV",
    };
    for (const auto& name : names) {
        EXPECT_EQ(keyForFileName(name), std::nullopt) << name;
    }
    EXPECT_EQ(keyForFileName(std::string(128, 'k') + ".kv"), std::string(128, 'k'));
}

} // namespace
} // namespace platform
