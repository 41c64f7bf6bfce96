// Key file content: intact files give their value, anything else its raw bytes.

#include <gtest/gtest.h>

#include <cmath>

#include "platform/cloud/StoredValueFile.hpp"

namespace platform {
namespace {

const PropertyValue values[] = {
    PropertyValue::data(std::string("\x00{\"payload\": 1}", 15)),
    PropertyValue::string("text"),
    PropertyValue::integer(-3),
    PropertyValue::real(2.5),
    PropertyValue::boolean(true),
    PropertyValue::date(0),
    PropertyValue::array({PropertyValue::dictionary({{"a", PropertyValue::data("")}})}),
};

TEST(StoredValueFile, EveryTypeRoundTripsIntact) {
    for (const auto& value : values) {
        const auto file = encodeStoredValue(value);
        ASSERT_TRUE(file);
        const auto decoded = decodeStoredValue(*file);
        EXPECT_TRUE(decoded.intact);
        EXPECT_EQ(decoded.value, value);
    }
}

TEST(StoredValueFile, EveryPrefixOfAFileReadsAsItsRawBytes) {
    const std::string file = *encodeStoredValue(PropertyValue::data("{\"version\": 1}"));
    for (std::size_t length = 0; length < file.size(); ++length) {
        const std::string torn = file.substr(0, length);
        const auto decoded = decodeStoredValue(torn);
        EXPECT_FALSE(decoded.intact) << length;
        EXPECT_EQ(decoded.value, PropertyValue::data(torn)) << length;
    }
}

TEST(StoredValueFile, AFileNotExactlyOursReadsAsItsRawBytes) {
    const std::string file = *encodeStoredValue(PropertyValue::string("value"));
    std::string upper = file;
    for (std::size_t i = 16; i < 80; ++i) {
        upper[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(upper[i])));
    }
    std::string otherBody = file;
    otherBody.replace(otherBody.size() - 3, 1, "V");
    std::string wrongMagic = file;
    wrongMagic[13] = '2';
    std::string noNewline = file;
    noNewline[80] = ' ';
    const std::string hashOfNotAValue = *encodeStoredValue(PropertyValue::integer(1));
    const std::string cases[] = {
        "{\"version\":1}", otherBody, wrongMagic, noNewline, file + " trailing", std::string("\xff\xfe", 2),
    };
    for (const auto& bytes : cases) {
        const auto decoded = decodeStoredValue(bytes);
        EXPECT_FALSE(decoded.intact) << bytes;
        EXPECT_EQ(decoded.value, PropertyValue::data(bytes)) << bytes;
    }
    if (upper != file) {
        EXPECT_FALSE(decodeStoredValue(upper).intact) << "the digest is written in lower case only";
    }
}

TEST(StoredValueFile, AValueThatCannotBeStoredHasNoFile) {
    EXPECT_EQ(encodeStoredValue(PropertyValue::real(INFINITY)), std::nullopt);
    EXPECT_EQ(encodeStoredValue(PropertyValue::string("\xff")), std::nullopt);
}

} // namespace
} // namespace platform
