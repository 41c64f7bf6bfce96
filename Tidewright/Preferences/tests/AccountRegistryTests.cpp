// The account registry's JSON: what decodes, and that one damaged record damages it all.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "corbel/core/Base64.hpp"
#include "tidewright/preferences/AccountRegistry.hpp"

namespace tidewright {
namespace {

using Json = nlohmann::json;

Json record(const std::string& archive, const std::string& marker) {
    return {{"archive", corbel::base64Encode(archive)}, {"marker", marker}};
}

Json registryOf(Json records, Json version = 1) {
    return {{"version", std::move(version)}, {"records", std::move(records)}};
}

Json records(std::size_t count) {
    Json list = Json::array();
    for (std::size_t i = 0; i < count; ++i) {
        list.push_back(record("archive", "marker-" + std::to_string(i)));
    }
    return list;
}

TEST(AccountRegistry, RoundTripsAndAcceptsEveryLimitExactly) {
    AccountRegistry registry;
    registry.records = {{std::string("\x00\xff", 2), "first"},
                        {std::string(65536, 'a'), std::string(128, 'm')}};
    const auto text = registry.encode();
    ASSERT_TRUE(text);
    EXPECT_EQ(AccountRegistry::decode(*text), registry);
    EXPECT_EQ(AccountRegistry::decode(registryOf(records(32)).dump())->records.size(), 32u);
    EXPECT_EQ(AccountRegistry::decode(registryOf(Json::array()).dump()), AccountRegistry{});
    EXPECT_TRUE(AccountRegistry::decode(R"({"version":1,"records":[],"extra":true})"));
}

TEST(AccountRegistry, AnyDamageAnywhereRefusesTheWholeRegistry) {
    auto withSecond = [](Json second) {
        Json list = Json::array({record("archive", "good")});
        list.push_back(std::move(second));
        return registryOf(std::move(list)).dump();
    };
    std::string oversized = registryOf(Json::array()).dump();
    oversized.append(AccountRegistry::maximumBytes, ' ');
    const struct {
        const char* what;
        std::string data;
    } cases[] = {
        {"version 2", registryOf(Json::array(), 2).dump()},
        {"version as text", registryOf(Json::array(), "1").dump()},
        {"version far out of range", R"({"version":18446744073709551617,"records":[]})"},
        {"no version", R"({"records":[]})"},
        {"no records", R"({"version":1})"},
        {"records not a list", R"({"version":1,"records":{}})"},
        {"33 records", registryOf(records(33)).dump()},
        {"duplicate marker", withSecond(record("other", "good"))},
        {"empty marker", withSecond(record("archive", ""))},
        {"129-byte marker", withSecond(record("archive", std::string(129, 'm')))},
        {"archive over 65,536 bytes", withSecond(record(std::string(65537, 'a'), "big"))},
        {"archive not base64", withSecond({{"archive", "***"}, {"marker", "m"}})},
        {"marker not text", withSecond({{"archive", ""}, {"marker", 5}})},
        {"record not an object", withSecond(Json::array())},
        {"no archive", withSecond({{"marker", "m"}})},
        {"over 1,048,576 bytes", oversized},
        {"not JSON", "{"},
        {"a list", "[]"},
    };
    for (const auto& [what, data] : cases) {
        EXPECT_EQ(AccountRegistry::decode(data), std::nullopt) << what;
    }
}

TEST(AccountRegistry, DoesNotEncodeWhatItCouldNotStore) {
    AccountRegistry registry;
    registry.records = {{std::string(AccountRegistry::maximumBytes, 'a'), "m"}};
    EXPECT_EQ(registry.encode(), std::nullopt);
}

} // namespace
} // namespace tidewright
