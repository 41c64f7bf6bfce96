#include "platform/workspace/BundleIdentifier.hpp"

namespace platform {

namespace {

bool isAlphanumeric(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

std::optional<tidewright::BundleID> validated(std::string text) {
    if (!tidewright::BundleID::isValid(text)) {
        return std::nullopt;
    }
    return tidewright::BundleID(std::move(text));
}

} // namespace

std::string escapeIdentifier(std::string_view bytes) {
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string escaped;
    escaped.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (isAlphanumeric(c)) {
            escaped.push_back(static_cast<char>(c));
        } else if (c == '-') {
            escaped.append("--");
        } else if (c == '.' && !escaped.empty() && escaped.back() != '.' && i + 1 < bytes.size()) {
            escaped.push_back('.');
        } else {
            escaped.push_back('-');
            escaped.push_back(hex[c >> 4]);
            escaped.push_back(hex[c & 0xF]);
        }
    }
    return escaped;
}

std::optional<tidewright::BundleID> bundleIdentifierForDesktopId(std::string_view desktopId) {
    const bool reserved = desktopId.starts_with("desktop.") || desktopId.starts_with("wmclass.");
    if (!reserved && tidewright::BundleID::isValid(desktopId)) {
        return tidewright::BundleID(std::string(desktopId));
    }
    return validated("desktop." + escapeIdentifier(desktopId));
}

std::optional<tidewright::BundleID> bundleIdentifierForWindowClass(std::string_view windowClass) {
    return validated("wmclass." + escapeIdentifier(windowClass));
}

} // namespace platform
