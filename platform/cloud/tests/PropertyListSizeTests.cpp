// The XML property-list measure of the synced store, against sizes counted by hand.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/cloud/PropertyListSize.hpp"

namespace platform {
namespace {

using Dictionary = PropertyValue::Dictionary;

TEST(PropertyListSize, MatchesSizesCountedByHand) {
    const struct {
        const char* what;
        PropertyValue value;
        std::size_t size;
    } cases[] = {
        // 39 + 22 + "<dict/>\n" 8 + 9
        {"empty dictionary", PropertyValue::dictionary({}), 78},
        // 85 + "\t<key>a</key>\n" 14 + "\t<data>aGk=</data>\n" 19
        {"data", PropertyValue::dictionary({{"a", PropertyValue::data("hi")}}), 118},
        // 85 + 14 + "\t<string>a&lt;&amp;&gt;</string>\n" 33
        {"escaped string", PropertyValue::dictionary({{"k", PropertyValue::string("a<&>")}}), 132},
        // 85 + "\t<key>&amp;</key>\n" 18 + "\t<real>0.5</real>\n" 18
        {"escaped key", PropertyValue::dictionary({{"&", PropertyValue::real(0.5)}}), 121},
        // 85 + 14 + "\t<date>1970-01-01T00:00:00Z</date>\n" 35
        {"date", PropertyValue::dictionary({{"d", PropertyValue::date(0)}}), 134},
        // 85 + 14 + "\t<array>\n" 9 + "\t\t<integer>-5</integer>\n" 24 + "\t\t<true/>\n" 10
        //    + "\t\t<dict/>\n" 10 + "\t</array>\n" 10
        {"nested",
         PropertyValue::dictionary(
             {{"n", PropertyValue::array({PropertyValue::integer(-5), PropertyValue::boolean(true),
                                          PropertyValue::dictionary({})})}}),
         162},
        // 39 + 22 + "<string>x</string>\n" 19 + 9
        {"string at the root", PropertyValue::string("x"), 89},
        // two-byte characters count as two bytes: 85 + "\t<key>ü</key>\n" 15 + "\t<false/>\n" 10
        {"UTF-8", PropertyValue::dictionary({{"\xc3\xbc", PropertyValue::boolean(false)}}), 110},
    };
    for (const auto& [what, value, size] : cases) {
        EXPECT_EQ(xmlPropertyListSize(value), size) << what;
        const auto text = xmlPropertyList(value);
        ASSERT_TRUE(text) << what;
        EXPECT_EQ(text->size(), size) << what;
    }
}

TEST(PropertyListSize, WritesTheDocumentItCounts) {
    const PropertyValue value = PropertyValue::dictionary({
        {"b", PropertyValue::array({PropertyValue::integer(-5), PropertyValue::dictionary({})})},
        {"a", PropertyValue::data("hi")},
        {"c", PropertyValue::date(-0.5)},
    });
    EXPECT_EQ(xmlPropertyList(value), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                      "<plist version=\"1.0\">\n"
                                      "<dict>\n"
                                      "\t<key>a</key>\n"
                                      "\t<data>aGk=</data>\n"
                                      "\t<key>b</key>\n"
                                      "\t<array>\n"
                                      "\t\t<integer>-5</integer>\n"
                                      "\t\t<dict/>\n"
                                      "\t</array>\n"
                                      "\t<key>c</key>\n"
                                      "\t<date>1969-12-31T23:59:59Z</date>\n"
                                      "</dict>\n"
                                      "</plist>\n");
}

TEST(PropertyListSize, ADictionaryIsTheSumOfItsEntries) {
    const Dictionary entries{
        {"one", PropertyValue::data(std::string(1000, 'x'))},
        {"two", PropertyValue::string("two")},
        {"three", PropertyValue::array({PropertyValue::real(1e300)})},
    };
    std::size_t sum = 0;
    for (const auto& [key, value] : entries) {
        sum += *xmlPropertyListEntrySize(key, value);
    }
    EXPECT_EQ(xmlPropertyListDictionarySize(entries.size(), sum),
              xmlPropertyListSize(PropertyValue::dictionary(entries)));
    EXPECT_EQ(xmlPropertyListDictionarySize(0, 0), xmlPropertyListSize(PropertyValue::dictionary({})));
}

TEST(PropertyListSize, RefusesWhatXmlCannotCarry) {
    const PropertyValue cases[] = {
        PropertyValue::string("bell\x07"),
        PropertyValue::dictionary({{std::string("\x00", 1), PropertyValue::boolean(true)}}),
        PropertyValue::real(NAN),
        PropertyValue::date(253402300800.0), // 10000-01-01
        PropertyValue::date(-62135596801.0), // one second before the year 1
        PropertyValue::date(1e300),
    };
    for (const auto& value : cases) {
        EXPECT_EQ(xmlPropertyListSize(value), std::nullopt);
        EXPECT_EQ(xmlPropertyList(value), std::nullopt);
    }
    EXPECT_EQ(xmlPropertyList(PropertyValue::date(253402300799.0)),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n"
              "<date>9999-12-31T23:59:59Z</date>\n</plist>\n");
    EXPECT_TRUE(xmlPropertyList(PropertyValue::date(-62135596800.0)));
    EXPECT_TRUE(xmlPropertyList(PropertyValue::string("tab\tline\nreturn\r")));
}

} // namespace
} // namespace platform
