#include "corbel/core/Base64.hpp"

#include <array>
#include <cstdint>

namespace corbel {

namespace {

constexpr char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<std::int8_t, 256> makeValues() {
    std::array<std::int8_t, 256> values{};
    values.fill(-1);
    for (int i = 0; i < 64; ++i) {
        values[static_cast<unsigned char>(alphabet[i])] = static_cast<std::int8_t>(i);
    }
    return values;
}

constexpr auto values = makeValues();

} // namespace

std::string base64Encode(std::string_view bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t j = 0; j < 3; ++j) {
            group <<= 8;
            if (j < count) {
                group |= static_cast<unsigned char>(bytes[i + j]);
            }
        }
        for (std::size_t j = 0; j < 4; ++j) {
            text += j <= count ? alphabet[(group >> (18 - 6 * j)) & 0x3F] : '=';
        }
    }
    return text;
}

std::optional<std::string> base64Decode(std::string_view text) {
    if (text.size() % 4 != 0) {
        return std::nullopt;
    }
    std::string bytes;
    bytes.reserve(text.size() / 4 * 3);
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        std::size_t padding = 0;
        if (last) {
            padding = text[i + 3] == '=' ? (text[i + 2] == '=' ? 2 : 1) : 0;
        }
        std::uint32_t group = 0;
        for (std::size_t j = 0; j < 4; ++j) {
            group <<= 6;
            if (j >= 4 - padding) {
                continue;
            }
            const auto value = values[static_cast<unsigned char>(text[i + j])];
            if (value < 0) {
                return std::nullopt;
            }
            group |= static_cast<std::uint32_t>(value);
        }
        // Bits that no byte uses must be zero, so that every byte string has one text.
        if ((padding == 1 && (group & 0xFF) != 0) || (padding == 2 && (group & 0xFFFF) != 0)) {
            return std::nullopt;
        }
        for (std::size_t j = 0; j < 3 - padding; ++j) {
            bytes += static_cast<char>((group >> (16 - 8 * j)) & 0xFF);
        }
    }
    return bytes;
}

} // namespace corbel
