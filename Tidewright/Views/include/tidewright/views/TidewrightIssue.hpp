#pragma once
// A problem the app model shows the user until it is resolved. The raw values are the case names.

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

namespace tidewright {

enum class TidewrightIssue {
    operation,   // a window operation failed or was not confirmed
    preferences, // the preferences carry a notice other than a missing sync account
    login,       // switching open-at-login failed
    settings,    // opening the desktop's settings failed
};

inline constexpr std::array<TidewrightIssue, 4> allTidewrightIssues{
    TidewrightIssue::operation,
    TidewrightIssue::preferences,
    TidewrightIssue::login,
    TidewrightIssue::settings,
};

std::string_view rawValue(TidewrightIssue issue) noexcept;
// Exactly one of the four raw values.
std::optional<TidewrightIssue> tidewrightIssueFromRawValue(std::string_view text) noexcept;

} // namespace tidewright

template <>
struct std::hash<tidewright::TidewrightIssue> {
    std::size_t operator()(tidewright::TidewrightIssue issue) const noexcept {
        return std::hash<std::string_view>{}(tidewright::rawValue(issue));
    }
};
