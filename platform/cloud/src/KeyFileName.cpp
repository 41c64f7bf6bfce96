#include "platform/cloud/KeyFileName.hpp"

#include "platform/cloud/CloudFolder.hpp"
#include "platform/defaults/PropertyValue.hpp"

namespace platform {

namespace {

constexpr std::string_view suffix = ".kv";
constexpr char hexDigits[] = "0123456789ABCDEF";

bool keptAsItIs(unsigned char byte) {
    return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') || (byte >= '0' && byte <= '9') ||
           byte == '-' || byte == '_';
}

int hexValue(char digit) {
    if (digit >= '0' && digit <= '9') {
        return digit - '0';
    }
    if (digit >= 'A' && digit <= 'F') {
        return digit - 'A' + 10;
    }
    return -1; // lower-case digits are not canonical
}

} // namespace

std::string keyFileName(std::string_view key) {
    std::string name;
    name.reserve(key.size() * 3 + suffix.size());
    for (const char character : key) {
        const auto byte = static_cast<unsigned char>(character);
        if (keptAsItIs(byte)) {
            name += character;
        } else {
            name += '%';
            name += hexDigits[byte >> 4];
            name += hexDigits[byte & 0xF];
        }
    }
    name += suffix;
    return name;
}

std::optional<std::string> keyForFileName(std::string_view name) {
    if (name.size() <= suffix.size() || name.substr(name.size() - suffix.size()) != suffix) {
        return std::nullopt;
    }
    const std::string_view stem = name.substr(0, name.size() - suffix.size());
    std::string key;
    for (std::size_t i = 0; i < stem.size(); ++i) {
        const auto byte = static_cast<unsigned char>(stem[i]);
        if (keptAsItIs(byte)) {
            key += stem[i];
            continue;
        }
        if (byte != '%' || i + 2 >= stem.size()) {
            return std::nullopt;
        }
        const int high = hexValue(stem[i + 1]);
        const int low = hexValue(stem[i + 2]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        const auto decoded = static_cast<unsigned char>(high * 16 + low);
        if (keptAsItIs(decoded)) {
            return std::nullopt; // "%41" is not the canonical name of "A"
        }
        key += static_cast<char>(decoded);
        i += 2;
    }
    if (key.empty() || key.size() > CloudFolder::maximumKeyBytes || !isWellFormedUtf8(key)) {
        return std::nullopt;
    }
    return key;
}

} // namespace platform
