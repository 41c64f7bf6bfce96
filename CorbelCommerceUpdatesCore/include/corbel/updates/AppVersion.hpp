#pragma once
// A dotted version number such as "1.4.2": 1 to 4 components of 1 to 6 ASCII digits. Versions
// compare numerically with missing components read as zero, and keep the text they came from.

#include <compare>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace corbel {

class AppVersion {
public:
    static constexpr std::size_t maximumParts = 4;
    static constexpr std::size_t maximumDigits = 6;

    // The version the text spells, or nothing when it is not a valid version. Leading zeros are
    // allowed ("007" is 7); signs, spaces, line breaks and digits of other scripts are not.
    static std::optional<AppVersion> parse(std::string_view text);

    const std::vector<std::int32_t>& parts() const noexcept { return parts_; }
    // The text the version was parsed from, unchanged: "1.2" and "1.2.0" keep their own texts.
    const std::string& description() const noexcept { return description_; }

    // Equal versions may differ in their texts, so the order is weak.
    std::weak_ordering operator<=>(const AppVersion& other) const noexcept;
    bool operator==(const AppVersion& other) const noexcept { return (*this <=> other) == 0; }

private:
    AppVersion(std::vector<std::int32_t> parts, std::string description)
        : parts_(std::move(parts)), description_(std::move(description)) {}

    std::vector<std::int32_t> parts_;
    std::string description_;
};

inline std::ostream& operator<<(std::ostream& os, const AppVersion& version) {
    return os << version.description();
}

} // namespace corbel
