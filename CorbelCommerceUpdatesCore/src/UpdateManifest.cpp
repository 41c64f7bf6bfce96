#include "corbel/updates/UpdateManifest.hpp"

#include <cmath>
#include <cstdint>
#include <optional>

#include <nlohmann/json.hpp>

#include "corbel/updates/UpdateFailure.hpp"

namespace corbel {

namespace {

// A JSON number with an integral value, as a decoder of integers reads it: 1 and 1.0 are 1; 1.5,
// text and numbers beyond 64 bits are not integers.
std::optional<std::int64_t> integerValue(const nlohmann::json& value) {
    if (value.is_number_integer()) {
        if (value.is_number_unsigned() &&
            value.get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX)) {
            return std::nullopt;
        }
        return value.get<std::int64_t>();
    }
    if (value.is_number_float()) {
        const double number = value.get<double>();
        // 2^63 itself is out of range; every double below it in magnitude converts exactly.
        if (std::isfinite(number) && std::trunc(number) == number && number >= -0x1p63 && number < 0x1p63) {
            return static_cast<std::int64_t>(number);
        }
    }
    return std::nullopt;
}

} // namespace

UpdateManifest UpdateManifest::decoding(std::string_view data) {
    if (data.size() > maximumSize) {
        throw UpdateFailure::unreadable();
    }
    // Parsing without exceptions: a malformed body is an answer, not an error of ours.
    const auto document = nlohmann::json::parse(data.begin(), data.end(), nullptr, false);
    if (document.is_discarded() || !document.is_object()) {
        throw UpdateFailure::unreadable();
    }
    const auto format = document.find("format");
    const auto apps = document.find("apps");
    if (format == document.end() || apps == document.end() || !apps->is_object()) {
        throw UpdateFailure::unreadable();
    }
    const auto formatNumber = integerValue(*format);
    if (!formatNumber) {
        throw UpdateFailure::unreadable();
    }
    if (*formatNumber != UpdateManifest::format) {
        throw UpdateFailure::unknownFormat();
    }

    UpdateManifest manifest;
    for (const auto& [key, value] : apps->items()) {
        if (!value.is_string()) {
            continue;
        }
        if (auto version = AppVersion::parse(value.get_ref<const std::string&>())) {
            manifest.versions.insert_or_assign(key, std::move(*version));
        }
    }
    return manifest;
}

} // namespace corbel
