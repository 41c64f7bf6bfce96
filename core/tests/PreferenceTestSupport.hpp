#pragma once
// Builders and printers shared by the preference model's tests.

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tidewright/core/PreferencePayload.hpp"
#include "tidewright/core/PreferencePolicy.hpp"

namespace tidewright::testing_support {

inline constexpr auto maximize = OpeningAction::maximize;
inline constexpr auto center = OpeningAction::center;
inline constexpr auto available = PreferenceAvailability::available;
inline constexpr auto unavailable = PreferenceAvailability::unavailable;

inline BundleID app(const char* text) {
    return BundleID(text);
}

inline ItemRevision revision(std::uint64_t counter, std::string writer = "W") {
    return ItemRevision{counter, std::move(writer)};
}

inline OpeningRulePreference rule(const char* application, std::uint64_t counter,
                                  std::optional<OpeningAction> action, std::string writer = "W") {
    return OpeningRulePreference{app(application), revision(counter, std::move(writer)), action};
}

inline OpeningRulePreference marker(const char* application, std::uint64_t counter,
                                    std::string writer = "W") {
    return rule(application, counter, std::nullopt, std::move(writer));
}

inline EnabledPreference onOff(bool value, std::uint64_t counter, std::string writer = "W") {
    return EnabledPreference{revision(counter, std::move(writer)), value};
}

inline PreferencePayload payload(std::optional<EnabledPreference> enabled,
                                 std::vector<OpeningRulePreference> rules = {}) {
    PreferencePayload result;
    result.enabled = std::move(enabled);
    result.rules = std::move(rules);
    return result;
}

inline PreferencePayload withVersion(std::int64_t version) {
    auto result = PreferencePayload::empty();
    result.version = version;
    return result;
}

inline std::string encode(const PreferencePayload& value) {
    return value.encoded().value();
}

} // namespace tidewright::testing_support

namespace tidewright {

inline void PrintTo(const PreferencePayload& value, std::ostream* os) {
    *os << value.encoded().value_or("<not encodable>") << " (version " << value.version << ")";
}

inline void PrintTo(const OpeningRulePreference& value, std::ostream* os) {
    *os << nlohmann::json(value).dump();
}

inline void PrintTo(const EnabledPreference& value, std::ostream* os) {
    *os << nlohmann::json(value).dump();
}

inline void PrintTo(const ItemRevision& value, std::ostream* os) {
    *os << nlohmann::json(value).dump();
}

inline void PrintTo(const PreferenceFragmentIssue& value, std::ostream* os) {
    *os << "fragment issue " << static_cast<int>(value.kind());
    if (value.version()) {
        *os << " version " << *value.version();
    }
    if (value.app()) {
        *os << " app " << value.app()->rawValue();
    }
}

inline void PrintTo(PreferenceIssue value, std::ostream* os) {
    static const char* const names[] = {"invalidPayload", "futureVersion",      "storageLimit",
                                        "accountChanged", "accountUnavailable", "revisionExhausted",
                                        "invalidWriter"};
    *os << names[static_cast<int>(value)];
}

inline void PrintTo(const PreferencePublication& value, std::ostream* os) {
    static const char* const names[] = {"publish", "localOnly", "volatileOnly", "none"};
    *os << names[static_cast<int>(value.kind())];
    if (value.issue()) {
        *os << "(";
        PrintTo(*value.issue(), os);
        *os << ")";
    }
    if (value.payload()) {
        *os << "(";
        PrintTo(*value.payload(), os);
        *os << ")";
    }
}

} // namespace tidewright
