#pragma once
// What the rest of the system knows of the synced preferences: whether the on/off value can be
// used and what it says, the opening rules in force, and the problems to show with their origin.

#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "tidewright/core/Identities.hpp"
#include "tidewright/core/OpeningAction.hpp"
#include "tidewright/core/PreferenceAvailability.hpp"
#include "tidewright/core/PreferencePolicy.hpp"

namespace tidewright {

// Where a notice comes from: the rule key of an application, the on/off key, or a rule key whose
// application cannot be told.
class PreferenceIssueOrigin {
public:
    enum class Kind {
        rule,
        enabled,
        unknownRule,
    };

    static PreferenceIssueOrigin rule(BundleID app) {
        return PreferenceIssueOrigin(Kind::rule, std::move(app));
    }
    static PreferenceIssueOrigin enabled() { return PreferenceIssueOrigin(Kind::enabled, std::nullopt); }
    static PreferenceIssueOrigin unknownRule() {
        return PreferenceIssueOrigin(Kind::unknownRule, std::nullopt);
    }

    Kind kind() const noexcept { return kind_; }
    // Present for rule only.
    const std::optional<BundleID>& app() const noexcept { return app_; }

    bool operator==(const PreferenceIssueOrigin&) const = default;

private:
    PreferenceIssueOrigin(Kind kind, std::optional<BundleID> app) : kind_(kind), app_(std::move(app)) {}

    Kind kind_;
    std::optional<BundleID> app_;
};

// The problem of one key: a recorded issue, a fragment mismatch, or data that cannot be used
// without a recorded problem.
class PreferenceSummaryIssue {
public:
    enum class Kind {
        preference,
        fragment,
        unavailable,
    };

    static PreferenceSummaryIssue preference(PreferenceIssue issue) { return PreferenceSummaryIssue(issue); }
    static PreferenceSummaryIssue fragment(PreferenceFragmentIssue issue) {
        return PreferenceSummaryIssue(std::move(issue));
    }
    static PreferenceSummaryIssue unavailable() { return PreferenceSummaryIssue(); }

    Kind kind() const noexcept { return kind_; }
    // Present for preference only.
    const std::optional<PreferenceIssue>& preferenceIssue() const noexcept { return preference_; }
    // Present for fragment only.
    const std::optional<PreferenceFragmentIssue>& fragmentIssue() const noexcept { return fragment_; }

    bool operator==(const PreferenceSummaryIssue&) const = default;

private:
    // One constructor per case, so that an absent member is never built by moving an empty
    // optional (which g++ 12 takes for a read of uninitialised memory under the sanitizers).
    PreferenceSummaryIssue() : kind_(Kind::unavailable) {}
    explicit PreferenceSummaryIssue(PreferenceIssue issue) : kind_(Kind::preference), preference_(issue) {}
    explicit PreferenceSummaryIssue(PreferenceFragmentIssue issue)
        : kind_(Kind::fragment), fragment_(std::move(issue)) {}

    Kind kind_;
    std::optional<PreferenceIssue> preference_;
    std::optional<PreferenceFragmentIssue> fragment_;
};

struct PreferenceNotice {
    PreferenceIssueOrigin origin;
    PreferenceSummaryIssue issue;

    bool operator==(const PreferenceNotice&) const = default;
};

// A pure function of the policies it is built from.
class PreferenceSummary {
public:
    // The policy of the on/off key (a fresh policy of the empty payload when the key has no entry
    // yet), the policies of the rule keys whose application is known, and the issues of rule keys
    // whose application cannot be told, in the order they are to be shown.
    PreferenceSummary(const PreferencePolicy& enabled, const std::map<BundleID, PreferencePolicy>& rules,
                      const std::vector<PreferenceIssue>& unknownRuleIssues);

    PreferenceAvailability enabledAvailability() const noexcept { return enabledAvailability_; }
    // The on/off value in force; false whenever the on/off preference is unavailable.
    bool operationEnabled() const noexcept { return operationEnabled_; }
    // The opening rules in force, from rule keys in a usable state.
    const std::map<BundleID, OpeningAction>& usableRules() const noexcept { return usableRules_; }
    // The on/off notice, then the rule notices by application, then the unknown keys' notices.
    const std::vector<PreferenceNotice>& issues() const noexcept { return issues_; }

    bool operator==(const PreferenceSummary&) const = default;

private:
    PreferenceAvailability enabledAvailability_ = PreferenceAvailability::unavailable;
    bool operationEnabled_ = false;
    std::map<BundleID, OpeningAction> usableRules_;
    std::vector<PreferenceNotice> issues_;
};

} // namespace tidewright
