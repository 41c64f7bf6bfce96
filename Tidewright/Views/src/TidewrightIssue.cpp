#include "tidewright/views/TidewrightIssue.hpp"

namespace tidewright {

std::string_view rawValue(TidewrightIssue issue) noexcept {
    constexpr std::array<std::string_view, allTidewrightIssues.size()> names{"operation", "preferences",
                                                                             "login", "settings"};
    return names[static_cast<std::size_t>(issue)];
}

std::optional<TidewrightIssue> tidewrightIssueFromRawValue(std::string_view text) noexcept {
    for (TidewrightIssue issue : allTidewrightIssues) {
        if (rawValue(issue) == text) {
            return issue;
        }
    }
    return std::nullopt;
}

} // namespace tidewright
