#include "tidewright/core/PreferencePolicy.hpp"

#include <algorithm>
#include <limits>

#include "StrictJson.hpp"
#include "tidewright/core/PreferencePayloadHeader.hpp"

namespace tidewright {

namespace {

bool holdsAnything(const PreferencePayload& payload) {
    return payload.enabled.has_value() || !payload.rules.empty();
}

} // namespace

std::optional<PreferenceFragmentIssue> PreferenceFragment::validate(const PreferencePayload& payload) const {
    if (payload.version != 1) {
        return PreferenceFragmentIssue::unsupportedVersion(payload.version);
    }
    if (!payload.isValid()) {
        return PreferenceFragmentIssue::invalidRecords();
    }
    if (isEnabled()) {
        if (!payload.rules.empty()) {
            return PreferenceFragmentIssue::rulesInEnabled();
        }
        return std::nullopt;
    }
    if (payload.enabled) {
        return PreferenceFragmentIssue::enabledInRule();
    }
    const OpeningRulePreference* smallestOther = nullptr;
    for (const auto& rule : payload.rules) {
        if (rule.app != *app_ && (smallestOther == nullptr || rule.app < smallestOther->app)) {
            smallestOther = &rule;
        }
    }
    if (smallestOther != nullptr) {
        return PreferenceFragmentIssue::unexpectedRule(smallestOther->app);
    }
    return std::nullopt;
}

PreferencePolicy::PreferencePolicy(PreferencePayload local, std::optional<PreferenceFragment> fragment)
    : fragment_(std::move(fragment)) {
    // 1. The fragment's verdict on the stored payload.
    fragmentIssue_ = fragment_ ? fragment_->validate(local) : std::nullopt;
    // 2. Stored data that fits is the snapshot.
    if (!fragmentIssue_ && local.fitsStorage()) {
        snapshot_ = std::move(local);
        availability_ = PreferenceAvailability::available;
        return;
    }
    // 3. A valid payload that is too large stays in force but unavailable; anything else is
    // replaced by the empty payload and protected from being overwritten.
    const bool usable = !fragmentIssue_ && local.isValid();
    const PreferenceIssue issue = local.version > 1 ? PreferenceIssue::futureVersion
                                  : usable          ? PreferenceIssue::storageLimit
                                                    : PreferenceIssue::invalidPayload;
    snapshot_ = usable ? std::move(local) : PreferencePayload::empty();
    issue_ = issue;
    protectedIncoming_ = issue;
    protectedLocal_ = usable ? std::nullopt : std::optional(issue);
    availability_ = PreferenceAvailability::unavailable;
}

void PreferencePolicy::bindFragment(const PreferenceFragment& fragment) {
    if (fragment_ && *fragment_ != fragment) {
        throw PreferenceFragmentIssue::differentFragment();
    }
    if (auto issue = fragment.validate(snapshot_)) {
        throw *issue;
    }
    fragment_ = fragment;
}

PreferencePublication PreferencePolicy::receive(std::optional<std::string_view> data,
                                                PreferenceCloudState cloud, bool cloudReadComplete) {
    return answer(receiveOutcome(data, cloud, cloudReadComplete));
}

PreferencePublication PreferencePolicy::edit(const PreferenceEdit& edit, std::string_view writer) {
    return answer(editOutcome(edit, writer));
}

PreferencePolicy::Outcome PreferencePolicy::receiveOutcome(std::optional<std::string_view> data,
                                                           PreferenceCloudState cloud,
                                                           bool cloudReadComplete) {
    // 1. A policy of a changed account changes no more.
    if (requiresNewAccountSession_) {
        return Outcome::of(PreferenceIssue::accountChanged);
    }
    // 2-5. The cloud's state.
    cloudState_ = cloud;
    switch (cloud) {
    case PreferenceCloudState::quotaExceeded:
        issue_ = PreferenceIssue::storageLimit;
        return Outcome::of(PreferenceIssue::storageLimit);
    case PreferenceCloudState::accountChanged:
        requiresNewAccountSession_ = true;
        issue_ = PreferenceIssue::accountChanged;
        availability_ = PreferenceAvailability::unavailable;
        return Outcome::of(PreferenceIssue::accountChanged);
    case PreferenceCloudState::unavailable:
        issue_ = PreferenceIssue::accountUnavailable;
        return Outcome::of(PreferenceIssue::accountUnavailable);
    case PreferenceCloudState::available:
        break;
    }
    // 6. The key is not in the cloud: once the cloud is known to lack it, local data fills it.
    if (!data) {
        issue_ = protectedIncoming_;
        if (cloudReadComplete && !protectedIncoming_ && holdsAnything(snapshot_)) {
            return Outcome::publish();
        }
        return Outcome::nothing();
    }
    // 7. Size first, so oversized data is never parsed.
    if (data->size() > maximumPayloadBytes) {
        return reject(PreferenceIssue::storageLimit);
    }
    // 8. The version.
    nlohmann::json document;
    try {
        document = strictjson::parse(*data);
    } catch (const DecodingError&) {
        return reject(PreferenceIssue::invalidPayload);
    }
    const auto header = PreferencePayloadHeader::decode(document);
    if (!header) {
        return reject(PreferenceIssue::invalidPayload);
    }
    if (header->version != 1) {
        return reject(header->version > 1 ? PreferenceIssue::futureVersion : PreferenceIssue::invalidPayload);
    }
    // 9. The payload itself.
    std::optional<PreferencePayload> incoming;
    try {
        incoming = document.get<PreferencePayload>();
    } catch (const DecodingError&) {
    } catch (const IdentityError&) {
    }
    if (!incoming || !incoming->isValid()) {
        return reject(PreferenceIssue::invalidPayload);
    }
    // 10. It must belong to this key.
    if (fragment_) {
        if (auto mismatch = fragment_->validate(*incoming)) {
            fragmentIssue_ = std::move(mismatch);
            issue_ = PreferenceIssue::invalidPayload;
            availability_ = PreferenceAvailability::unavailable;
            protectedIncoming_ = PreferenceIssue::invalidPayload;
            return Outcome::of(PreferenceIssue::invalidPayload);
        }
    }
    // 11, 12. The merge, the snapshot being the local side; it must still fit.
    PreferencePayload merged = snapshot_.merged(*incoming);
    if (!merged.fitsStorage()) {
        return reject(PreferenceIssue::storageLimit);
    }
    // 13.
    const bool cloudHoldsMerged = merged == *incoming;
    snapshot_ = std::move(merged);
    fragmentIssue_ = std::nullopt;
    availability_ = PreferenceAvailability::available;
    if (protectedLocal_) {
        issue_ = protectedLocal_;
        return Outcome::of(*protectedLocal_);
    }
    protectedIncoming_ = std::nullopt;
    issue_ = std::nullopt;
    return cloudHoldsMerged ? Outcome::nothing() : Outcome::publish();
}

PreferencePolicy::Outcome PreferencePolicy::reject(PreferenceIssue issue) {
    issue_ = issue;
    protectedIncoming_ = issue;
    // A known on/off value stays usable through a bad cloud value.
    if (!snapshot_.enabled) {
        availability_ = PreferenceAvailability::unavailable;
    }
    return Outcome::of(issue);
}

PreferencePolicy::Outcome PreferencePolicy::editOutcome(const PreferenceEdit& edit, std::string_view writer) {
    // 1.
    if (requiresNewAccountSession_) {
        issue_ = PreferenceIssue::accountChanged;
        return Outcome::of(PreferenceIssue::accountChanged);
    }
    // 2. A writer that is not UTF-8 could never be stored; it is refused here rather than
    // reported as a storage limit.
    if (!isValidWriterLength(writer) || !isWellFormedUtf8(writer)) {
        issue_ = PreferenceIssue::invalidWriter;
        return Outcome::nothing();
    }
    // 3.
    const std::uint64_t highest = snapshot_.highestCounter();
    if (highest == std::numeric_limits<std::uint64_t>::max()) {
        issue_ = PreferenceIssue::revisionExhausted;
        return Outcome::nothing();
    }
    const ItemRevision revision{highest + 1, std::string(writer)};
    // 4.
    PreferencePayload next = snapshot_;
    next.version = 1;
    const auto replaceRule = [&next](const BundleID& app, std::optional<OpeningAction> action,
                                     ItemRevision revision) {
        std::erase_if(next.rules, [&](const auto& rule) { return rule.app == app; });
        next.rules.push_back(OpeningRulePreference{app, std::move(revision), action});
    };
    switch (edit.kind()) {
    case PreferenceEdit::Kind::enabled:
        next.enabled = EnabledPreference{revision, edit.value()};
        break;
    case PreferenceEdit::Kind::rule:
        replaceRule(*edit.app(), edit.action(), revision);
        break;
    case PreferenceEdit::Kind::removeRule:
        replaceRule(*edit.app(), std::nullopt, revision);
        break;
    }
    next.sortRules();
    // 5.
    if (fragment_) {
        if (auto mismatch = fragment_->validate(next)) {
            fragmentIssue_ = std::move(mismatch);
            issue_ = PreferenceIssue::invalidPayload;
            availability_ = PreferenceAvailability::unavailable;
            return Outcome::nothing();
        }
    }
    // 6.
    if (!next.fitsStorage()) {
        issue_ = PreferenceIssue::storageLimit;
        return Outcome::nothing();
    }
    // 7.
    snapshot_ = std::move(next);
    fragmentIssue_ = std::nullopt;
    if (edit.kind() == PreferenceEdit::Kind::enabled || fragment_) {
        availability_ = PreferenceAvailability::available;
    }
    if (protectedLocal_) {
        issue_ = protectedLocal_;
        return Outcome::of(*protectedLocal_);
    }
    if (protectedIncoming_) {
        issue_ = protectedIncoming_;
        return Outcome::of(*protectedIncoming_);
    }
    switch (cloudState_) {
    case PreferenceCloudState::available:
        issue_ = std::nullopt;
        return Outcome::publish();
    case PreferenceCloudState::unavailable:
        issue_ = PreferenceIssue::accountUnavailable;
        break;
    case PreferenceCloudState::quotaExceeded:
        issue_ = PreferenceIssue::storageLimit;
        break;
    case PreferenceCloudState::accountChanged:
        issue_ = PreferenceIssue::accountChanged;
        break;
    }
    return Outcome::of(*issue_);
}

PreferencePublication PreferencePolicy::answer(const Outcome& outcome) const {
    if (outcome.kind == Outcome::Kind::nothing) {
        return PreferencePublication::none();
    }
    if (protectedLocal_) {
        return PreferencePublication::volatileOnly(issue_.value_or(*protectedLocal_));
    }
    if (outcome.kind == Outcome::Kind::publish) {
        return PreferencePublication::publish(snapshot_);
    }
    return PreferencePublication::localOnly(outcome.issue);
}

} // namespace tidewright
