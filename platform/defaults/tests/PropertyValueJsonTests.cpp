// The typed JSON form: every type survives a round trip, and anything else is refused.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/defaults/PropertyValueJson.hpp"

namespace platform {
namespace {

PropertyValue everyType() {
    return PropertyValue::dictionary({
        {"data", PropertyValue::data(std::string("\x00\xff\x80 bytes", 9))},
        {"string", PropertyValue::string("Grüße \"quoted\"")},
        {"integer", PropertyValue::integer(std::numeric_limits<std::int64_t>::min())},
        {"large", PropertyValue::integer(std::numeric_limits<std::int64_t>::max())},
        {"real", PropertyValue::real(0.1)},
        {"whole real", PropertyValue::real(2.0)},
        {"bool", PropertyValue::boolean(false)},
        {"date", PropertyValue::date(1.5e9 + 0.25)},
        {"array", PropertyValue::array({PropertyValue::integer(1), PropertyValue::array({})})},
        {"empty", PropertyValue::dictionary({})},
    });
}

TEST(PropertyValueJson, EveryTypeRoundTripsAndKeepsItsType) {
    const PropertyValue value = everyType();
    ASSERT_TRUE(value.isStorable());
    const auto decoded = decodePropertyValueText(encodePropertyValue(value).dump());
    ASSERT_TRUE(decoded);
    EXPECT_EQ(*decoded, value);
    // A whole real stays a real, and data never comes back as a string.
    const auto& entries = *decoded->get<PropertyValue::Dictionary>();
    EXPECT_NE(entries.at("whole real").get<double>(), nullptr);
    EXPECT_NE(entries.at("data").get<PropertyData>(), nullptr);
}

TEST(PropertyValueJson, RefusesWhatIsNotExactlyAValue) {
    const char* cases[] = {
        "",
        "not json",
        "[]",
        "{}",
        R"({"string": "a", "integer": 1})",
        R"({"strange": 1})",
        R"({"string": 1})",
        R"({"data": 1})",
        R"({"data": "***"})",
        R"({"integer": 1.5})",
        R"({"integer": 9223372036854775808})",
        R"({"integer": true})",
        R"({"real": "1"})",
        R"({"real": 1e400})",
        R"({"date": null})",
        R"({"bool": 0})",
        R"({"array": {}})",
        R"({"array": [1]})",
        R"({"dictionary": []})",
        R"({"dictionary": {"a": 1}})",
        "{\"string\": \"\xff\"}",
    };
    for (const char* text : cases) {
        EXPECT_FALSE(decodePropertyValueText(text)) << text;
    }
}

TEST(PropertyValueJson, AcceptsIntegersAtTheirLimitsAndWholeNumbersAsReals) {
    EXPECT_EQ(decodePropertyValueText(R"({"integer": -9223372036854775808})"),
              PropertyValue::integer(std::numeric_limits<std::int64_t>::min()));
    EXPECT_EQ(decodePropertyValueText(R"({"integer": 9223372036854775807})"),
              PropertyValue::integer(std::numeric_limits<std::int64_t>::max()));
    EXPECT_EQ(decodePropertyValueText(R"({"real": 3})"), PropertyValue::real(3));
}

TEST(PropertyValueJson, RefusesNestingBeyondTheLimit) {
    auto nested = [](int depth) {
        std::string text;
        for (int i = 0; i < depth; ++i) {
            text += R"({"array": [)";
        }
        text += R"({"bool": true})";
        for (int i = 0; i < depth; ++i) {
            text += "]}";
        }
        return text;
    };
    EXPECT_TRUE(decodePropertyValueText(nested(PropertyValue::maximumDepth)));
    EXPECT_FALSE(decodePropertyValueText(nested(PropertyValue::maximumDepth + 1)));
    EXPECT_FALSE(decodePropertyValueText(nested(100000)));
}

TEST(PropertyValue, StorableOnlyWithFiniteNumbersAndWellFormedText) {
    EXPECT_FALSE(PropertyValue::real(std::nan("")).isStorable());
    EXPECT_FALSE(PropertyValue::date(std::numeric_limits<double>::infinity()).isStorable());
    EXPECT_FALSE(PropertyValue::string("\xc0\xaf").isStorable());
    EXPECT_FALSE(PropertyValue::array({PropertyValue::string("\xed\xa0\x80")}).isStorable());
    EXPECT_FALSE(PropertyValue::dictionary({{"\xff", PropertyValue::boolean(true)}}).isStorable());
    EXPECT_TRUE(PropertyValue::data("\xff").isStorable());
}

} // namespace
} // namespace platform
