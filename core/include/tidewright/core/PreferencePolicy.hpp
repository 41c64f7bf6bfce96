#pragma once
// The policy of one synced preference key: it keeps the key's last good payload and decides, for
// each cloud value and each local edit, whether the result may be published, cached or only held
// in memory. Unreadable or misdirected data is never merged and never overwritten.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "tidewright/core/Identities.hpp"
#include "tidewright/core/OpeningAction.hpp"
#include "tidewright/core/PreferenceAvailability.hpp"
#include "tidewright/core/PreferencePayload.hpp"

namespace tidewright {

// A preference key's problem. The order of the cases is part of the interface.
enum class PreferenceIssue {
    invalidPayload,
    futureVersion,
    storageLimit,
    accountChanged,
    accountUnavailable,
    revisionExhausted,
    invalidWriter,
};

enum class PreferenceCloudState {
    available,
    unavailable,
    quotaExceeded,
    accountChanged,
};

// A mismatch between a key and a payload; thrown by PreferencePolicy::bindFragment.
class PreferenceFragmentIssue {
public:
    enum class Kind {
        unsupportedVersion,
        unexpectedRule,
        invalidRecords,
        rulesInEnabled,
        enabledInRule,
        differentFragment,
    };

    static PreferenceFragmentIssue unsupportedVersion(std::int64_t version) {
        return PreferenceFragmentIssue(Kind::unsupportedVersion, version);
    }
    // The smallest application of another key found in the payload.
    static PreferenceFragmentIssue unexpectedRule(BundleID app) {
        return PreferenceFragmentIssue(Kind::unexpectedRule, std::move(app));
    }
    static PreferenceFragmentIssue invalidRecords() { return PreferenceFragmentIssue(Kind::invalidRecords); }
    static PreferenceFragmentIssue rulesInEnabled() { return PreferenceFragmentIssue(Kind::rulesInEnabled); }
    static PreferenceFragmentIssue enabledInRule() { return PreferenceFragmentIssue(Kind::enabledInRule); }
    static PreferenceFragmentIssue differentFragment() {
        return PreferenceFragmentIssue(Kind::differentFragment);
    }

    Kind kind() const noexcept { return kind_; }
    // Present for unsupportedVersion only.
    const std::optional<std::int64_t>& version() const noexcept { return version_; }
    // Present for unexpectedRule only.
    const std::optional<BundleID>& app() const noexcept { return app_; }

    bool operator==(const PreferenceFragmentIssue&) const = default;

private:
    // One constructor per payload, so that an absent member is never built by moving an empty
    // optional (which g++ 12 takes for a read of uninitialised memory under the sanitizers).
    explicit PreferenceFragmentIssue(Kind kind) : kind_(kind) {}
    PreferenceFragmentIssue(Kind kind, std::int64_t version) : kind_(kind), version_(version) {}
    PreferenceFragmentIssue(Kind kind, BundleID app) : kind_(kind), app_(std::move(app)) {}

    Kind kind_;
    std::optional<std::int64_t> version_;
    std::optional<BundleID> app_;
};

// Which key a payload belongs to: the on/off key, or the rule key of one application.
class PreferenceFragment {
public:
    static PreferenceFragment enabled() { return PreferenceFragment(std::nullopt); }
    static PreferenceFragment rule(BundleID app) { return PreferenceFragment(std::move(app)); }

    bool isEnabled() const noexcept { return !app_.has_value(); }
    // The application of a rule key; absent for the on/off key.
    const std::optional<BundleID>& ruleApp() const noexcept { return app_; }

    // Why the payload does not belong to this key; absent when it does.
    std::optional<PreferenceFragmentIssue> validate(const PreferencePayload& payload) const;

    bool operator==(const PreferenceFragment&) const = default;

private:
    explicit PreferenceFragment(std::optional<BundleID> app) : app_(std::move(app)) {}

    std::optional<BundleID> app_;
};

// A local change of the preferences.
class PreferenceEdit {
public:
    enum class Kind {
        enabled,
        rule,
        removeRule,
    };

    static PreferenceEdit enabled(bool value) {
        return PreferenceEdit(Kind::enabled, value, std::nullopt, std::nullopt);
    }
    // Sets the application's opening rule.
    static PreferenceEdit rule(BundleID app, OpeningAction action) {
        return PreferenceEdit(Kind::rule, false, std::move(app), action);
    }
    static PreferenceEdit removeRule(BundleID app) {
        return PreferenceEdit(Kind::removeRule, false, std::move(app), std::nullopt);
    }

    Kind kind() const noexcept { return kind_; }
    // The new on/off value of an enabled edit.
    bool value() const noexcept { return value_; }
    // The application of a rule or removeRule edit.
    const std::optional<BundleID>& app() const noexcept { return app_; }
    // The action of a rule edit.
    const std::optional<OpeningAction>& action() const noexcept { return action_; }

    bool operator==(const PreferenceEdit&) const = default;

private:
    PreferenceEdit(Kind kind, bool value, std::optional<BundleID> app, std::optional<OpeningAction> action)
        : kind_(kind), value_(value), app_(std::move(app)), action_(action) {}

    Kind kind_;
    bool value_;
    std::optional<BundleID> app_;
    std::optional<OpeningAction> action_;
};

// The policy's answer to a cloud value or an edit: what its owner may write.
class PreferencePublication {
public:
    enum class Kind {
        // Write the payload to the cloud; it may be cached locally too.
        publish,
        // Cache locally only; the issue says why the cloud is not written.
        localOnly,
        // Hold in memory only: the locally stored data is protected.
        volatileOnly,
        // No write.
        none,
    };

    static PreferencePublication publish(PreferencePayload payload) {
        return PreferencePublication(Kind::publish, std::move(payload), std::nullopt);
    }
    static PreferencePublication localOnly(PreferenceIssue issue) {
        return PreferencePublication(Kind::localOnly, std::nullopt, issue);
    }
    static PreferencePublication volatileOnly(PreferenceIssue issue) {
        return PreferencePublication(Kind::volatileOnly, std::nullopt, issue);
    }
    static PreferencePublication none() {
        return PreferencePublication(Kind::none, std::nullopt, std::nullopt);
    }

    Kind kind() const noexcept { return kind_; }
    // Present for publish only.
    const std::optional<PreferencePayload>& payload() const noexcept { return payload_; }
    // Present for localOnly and volatileOnly only.
    const std::optional<PreferenceIssue>& issue() const noexcept { return issue_; }

    bool operator==(const PreferencePublication&) const = default;

private:
    PreferencePublication(Kind kind, std::optional<PreferencePayload> payload,
                          std::optional<PreferenceIssue> issue)
        : kind_(kind), payload_(std::move(payload)), issue_(issue) {}

    Kind kind_;
    std::optional<PreferencePayload> payload_;
    std::optional<PreferenceIssue> issue_;
};

// A plain value, owned and mutated by the preference repository on the main thread; one per key
// and iCloud account. Only bindFragment throws.
class PreferencePolicy {
public:
    static constexpr std::size_t maximumPayloadBytes = maximumPreferencePayloadBytes;

    // From the payload stored locally for the key (the empty payload when nothing is stored) and
    // the key's fragment when known. Stored data that cannot be used is protected from being
    // overwritten for the policy's whole life.
    explicit PreferencePolicy(PreferencePayload local,
                              std::optional<PreferenceFragment> fragment = std::nullopt);

    // Throws PreferenceFragmentIssue: differentFragment when bound to another fragment, or why
    // the snapshot does not belong to the fragment. Nothing changes on a throw.
    void bindFragment(const PreferenceFragment& fragment);

    // The cloud's raw value for the key (absent: the key is not in the cloud), the cloud's state,
    // and whether the cloud's contents have been read completely, so that an absent key means the
    // cloud lacks it rather than that it has not arrived yet.
    PreferencePublication receive(std::optional<std::string_view> data, PreferenceCloudState cloud,
                                  bool cloudReadComplete);

    // A local edit by this installation's writer identity.
    PreferencePublication edit(const PreferenceEdit& edit, std::string_view writer);

    // Always valid.
    const PreferencePayload& snapshot() const noexcept { return snapshot_; }
    const std::optional<PreferenceIssue>& issue() const noexcept { return issue_; }
    PreferenceAvailability availability() const noexcept { return availability_; }
    const std::optional<PreferenceFragmentIssue>& fragmentIssue() const noexcept { return fragmentIssue_; }
    // One-way: once the account changed, the owner replaces the policy.
    bool requiresNewAccountSession() const noexcept { return requiresNewAccountSession_; }

private:
    // What a step ends in, before it becomes the answer.
    struct Outcome {
        enum class Kind { nothing, publish, issue };
        Kind kind;
        PreferenceIssue issue = PreferenceIssue::invalidPayload;

        static Outcome nothing() { return {Kind::nothing}; }
        static Outcome publish() { return {Kind::publish}; }
        static Outcome of(PreferenceIssue issue) { return {Kind::issue, issue}; }
    };

    Outcome receiveOutcome(std::optional<std::string_view> data, PreferenceCloudState cloud,
                           bool cloudReadComplete);
    Outcome editOutcome(const PreferenceEdit& edit, std::string_view writer);
    Outcome reject(PreferenceIssue issue);
    PreferencePublication answer(const Outcome& outcome) const;

    PreferencePayload snapshot_;
    std::optional<PreferenceIssue> issue_;
    PreferenceAvailability availability_ = PreferenceAvailability::available;
    std::optional<PreferenceFragmentIssue> fragmentIssue_;
    bool requiresNewAccountSession_ = false;
    // Why the cloud's value must not be overwritten by a local edit.
    std::optional<PreferenceIssue> protectedIncoming_;
    // Why the locally stored payload must not be overwritten at all; fixed at construction.
    std::optional<PreferenceIssue> protectedLocal_;
    PreferenceCloudState cloudState_ = PreferenceCloudState::available;
    std::optional<PreferenceFragment> fragment_;
};

} // namespace tidewright
