#include <gtest/gtest.h>

#include "corbel/core/Base64.hpp"

namespace corbel {
namespace {

TEST(Base64, EncodesAndDecodesEveryPaddingLength) {
    const struct {
        std::string bytes;
        std::string text;
    } cases[] = {
        {"", ""},        {"f", "Zg=="},        {"fo", "Zm8="},
        {"foo", "Zm9v"}, {"foob", "Zm9vYg=="}, {std::string("\x00\xff\xfe", 3), "AP/+"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(base64Encode(bytes), text);
        EXPECT_EQ(base64Decode(text), bytes) << text;
    }
}

TEST(Base64, RefusesAnythingButTheOneCanonicalText) {
    for (const char* text :
         {"Zg", "Zg=", "Zh==", "Zm9=", "Z===", "Zg==Zg==", "Zm9v\n", "Zm-v", "=Zg=", "Zm 9"}) {
        EXPECT_EQ(base64Decode(text), std::nullopt) << text;
    }
}

} // namespace
} // namespace corbel
