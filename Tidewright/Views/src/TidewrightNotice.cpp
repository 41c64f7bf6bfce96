#include "tidewright/views/TidewrightNotice.hpp"

namespace tidewright {
namespace {

std::optional<TidewrightNotice> stateNotice(const FunctioningState& state, const ShortcutSet& conflicting) {
    using Case = FunctioningState::Case;
    using Action = TidewrightPresentationAction;
    switch (state.kind()) {
    case Case::needsPermissions:
        // Whatever the permission's value, unknown included: the welcome is where it gets asked.
        return TidewrightNotice{QStringLiteral("permissions"), TidewrightCopy::permissionsTitle,
                                TidewrightCopy::permissionsNote, TidewrightCopy::configurePermissions,
                                Action::permissions};
    case Case::needsPreferences:
        return TidewrightNotice{QStringLiteral("preferences"), TidewrightCopy::preferencesUnavailable,
                                TidewrightCopy::preferencesUnavailableNote, TidewrightCopy::preferences,
                                Action::preferences};
    case Case::running:
        if (!conflicting.empty()) {
            return TidewrightNotice{QStringLiteral("conflicts"), TidewrightCopy::conflictsTitle,
                                    TidewrightCopy::conflictsNote, TidewrightCopy::checkShortcuts,
                                    Action::shortcutHelp};
        }
        return std::nullopt;
    case Case::off:
        break;
    }
    return std::nullopt;
}

TidewrightNotice issueNotice(TidewrightIssue issue) {
    const std::string_view raw = rawValue(issue);
    const QString id = QString::fromUtf8(raw.data(), static_cast<qsizetype>(raw.size()));
    switch (issue) {
    case TidewrightIssue::operation:
        return {id, TidewrightCopy::operationFailed, TidewrightCopy::operationFailedNote, std::nullopt,
                std::nullopt};
    case TidewrightIssue::preferences:
        return {id, TidewrightCopy::syncIssue, TidewrightCopy::syncIssueNote, std::nullopt, std::nullopt};
    case TidewrightIssue::login:
        return {id, TidewrightCopy::loginIssue, TidewrightCopy::loginIssueNote, std::nullopt, std::nullopt};
    case TidewrightIssue::settings:
        break;
    }
    return {id, TidewrightCopy::settingsIssue, TidewrightCopy::settingsIssueNote, std::nullopt, std::nullopt};
}

} // namespace

std::vector<TidewrightNotice> makeNotices(const FunctioningState& state, const ShortcutSet& conflicting,
                                          const std::vector<TidewrightIssue>& issues) {
    std::vector<TidewrightNotice> notices;
    notices.reserve(issues.size() + 1);
    if (std::optional<TidewrightNotice> notice = stateNotice(state, conflicting)) {
        notices.push_back(std::move(*notice));
    }
    for (TidewrightIssue issue : issues) {
        notices.push_back(issueNotice(issue));
    }
    return notices;
}

} // namespace tidewright
