#include "tidewright/core/PreferenceSummary.hpp"

namespace tidewright {

namespace {

// The notice of one policy for its fragment; the first that applies.
std::optional<PreferenceSummaryIssue> noticeOf(const PreferencePolicy& policy,
                                               const PreferenceFragment& fragment) {
    if (policy.requiresNewAccountSession()) {
        return PreferenceSummaryIssue::preference(PreferenceIssue::accountChanged);
    }
    if (policy.fragmentIssue()) {
        return PreferenceSummaryIssue::fragment(*policy.fragmentIssue());
    }
    if (auto mismatch = fragment.validate(policy.snapshot())) {
        return PreferenceSummaryIssue::fragment(std::move(*mismatch));
    }
    if (policy.issue()) {
        return PreferenceSummaryIssue::preference(*policy.issue());
    }
    if (policy.availability() == PreferenceAvailability::unavailable) {
        return PreferenceSummaryIssue::unavailable();
    }
    return std::nullopt;
}

// Usable data: available, same account, and no fragment mismatch recorded. The policy's issue
// alone does not matter: a rejected cloud value leaves the known local value in force.
bool inUsableState(const PreferencePolicy& policy) {
    return policy.availability() == PreferenceAvailability::available &&
           !policy.requiresNewAccountSession() && !policy.fragmentIssue();
}

} // namespace

PreferenceSummary::PreferenceSummary(const PreferencePolicy& enabled,
                                     const std::map<BundleID, PreferencePolicy>& rules,
                                     const std::vector<PreferenceIssue>& unknownRuleIssues) {
    // 1. The on/off preference.
    const PreferencePayload& onOff = enabled.snapshot();
    if (inUsableState(enabled) && onOff.version == 1 && onOff.isValid() && onOff.rules.empty()) {
        enabledAvailability_ = PreferenceAvailability::available;
        operationEnabled_ = onOff.operationEnabled();
    }
    // 2.
    if (auto notice = noticeOf(enabled, PreferenceFragment::enabled())) {
        issues_.push_back(PreferenceNotice{PreferenceIssueOrigin::enabled(), std::move(*notice)});
    }
    // 3. The map visits the applications in ascending order.
    for (const auto& [app, policy] : rules) {
        const auto fragment = PreferenceFragment::rule(app);
        if (auto notice = noticeOf(policy, fragment)) {
            issues_.push_back(PreferenceNotice{PreferenceIssueOrigin::rule(app), std::move(*notice)});
        }
        if (inUsableState(policy) && !fragment.validate(policy.snapshot())) {
            if (const auto action = policy.snapshot().action(app)) {
                usableRules_.emplace(app, *action);
            }
        }
    }
    // 4.
    for (const PreferenceIssue issue : unknownRuleIssues) {
        issues_.push_back(PreferenceNotice{PreferenceIssueOrigin::unknownRule(),
                                           PreferenceSummaryIssue::preference(issue)});
    }
}

} // namespace tidewright
