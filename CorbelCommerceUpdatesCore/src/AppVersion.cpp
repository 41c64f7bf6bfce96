#include "corbel/updates/AppVersion.hpp"

#include <algorithm>

namespace corbel {

std::optional<AppVersion> AppVersion::parse(std::string_view text) {
    std::vector<std::int32_t> parts;
    std::size_t start = 0;
    while (true) {
        const auto dot = text.find('.', start);
        const auto piece =
            text.substr(start, dot == std::string_view::npos ? std::string_view::npos : dot - start);
        if (parts.size() == maximumParts || piece.empty() || piece.size() > maximumDigits) {
            return std::nullopt;
        }
        std::int32_t value = 0;
        for (const char c : piece) {
            // A byte comparison: a digit of another script is several bytes, none of them '0'-'9'.
            if (c < '0' || c > '9') {
                return std::nullopt;
            }
            value = value * 10 + (c - '0');
        }
        parts.push_back(value);
        if (dot == std::string_view::npos) {
            break;
        }
        start = dot + 1;
    }
    return AppVersion(std::move(parts), std::string(text));
}

std::weak_ordering AppVersion::operator<=>(const AppVersion& other) const noexcept {
    const auto length = std::max(parts_.size(), other.parts_.size());
    for (std::size_t i = 0; i < length; ++i) {
        const std::int32_t lhs = i < parts_.size() ? parts_[i] : 0;
        const std::int32_t rhs = i < other.parts_.size() ? other.parts_[i] : 0;
        if (lhs != rhs) {
            return lhs <=> rhs;
        }
    }
    return std::weak_ordering::equivalent;
}

} // namespace corbel
