#include "tidewright/core/PreferencePayload.hpp"

#include <algorithm>
#include <map>
#include <set>

#include "StrictJson.hpp"

namespace tidewright {

std::optional<EnabledPreference> EnabledPreference::merge(const std::optional<EnabledPreference>& local,
                                                          const std::optional<EnabledPreference>& incoming) {
    // 1, 2: a side that was never set yields to the other.
    if (!local) {
        return incoming;
    }
    if (!incoming) {
        return local;
    }
    // 3: the greater counter wins whole.
    if (local->revision.counter != incoming->revision.counter) {
        return local->revision.counter > incoming->revision.counter ? local : incoming;
    }
    // 4: equal counters: the greater writer wins whole.
    const auto writers = compareWriterTexts(local->revision.writer, incoming->revision.writer);
    if (writers != 0) {
        return writers > 0 ? local : incoming;
    }
    // 5: equal revisions: off wins, and the record comes from a side that holds the result.
    return local->value ? incoming : local;
}

OpeningRulePreference OpeningRulePreference::merge(const OpeningRulePreference& local,
                                                   const OpeningRulePreference& incoming) {
    // 1: different counters.
    if (local.revision.counter != incoming.revision.counter) {
        return local.revision.counter > incoming.revision.counter ? local : incoming;
    }
    // 2: equal counters, writers not equal as text.
    const auto writers = compareWriterTexts(local.revision.writer, incoming.revision.writer);
    if (writers != 0) {
        return writers > 0 ? local : incoming;
    }
    // 3: equal revisions.
    if (local.isRemovalMarker()) {
        return local;
    }
    if (incoming.isRemovalMarker()) {
        return incoming;
    }
    if (*local.action != *incoming.action) {
        return rawValue(*local.action) > rawValue(*incoming.action) ? local : incoming;
    }
    return local;
}

std::optional<OpeningAction> PreferencePayload::action(const BundleID& app) const {
    const auto found =
        std::find_if(rules.begin(), rules.end(), [&](const auto& rule) { return rule.app == app; });
    return found == rules.end() ? std::nullopt : found->action;
}

bool PreferencePayload::isValid() const {
    const auto revisionValid = [](const ItemRevision& revision) {
        return revision.counter != 0 && isValidWriterLength(revision.writer);
    };
    if (version != 1) {
        return false;
    }
    if (enabled && !revisionValid(enabled->revision)) {
        return false;
    }
    if (!std::all_of(rules.begin(), rules.end(),
                     [&](const auto& rule) { return revisionValid(rule.revision); })) {
        return false;
    }
    std::set<BundleID> apps;
    for (const auto& rule : rules) {
        apps.insert(rule.app);
    }
    return apps.size() == rules.size();
}

std::uint64_t PreferencePayload::highestCounter() const noexcept {
    std::uint64_t highest = enabled ? enabled->revision.counter : 0;
    for (const auto& rule : rules) {
        highest = std::max(highest, rule.revision.counter);
    }
    return highest;
}

PreferencePayload PreferencePayload::merged(const PreferencePayload& incoming) const {
    // 1. Index the local rules. A valid receiver names each application once; should it not, its
    // duplicates are merged among themselves rather than silently dropped.
    std::map<BundleID, OpeningRulePreference> index;
    const auto mergeIn = [&index](const OpeningRulePreference& rule) {
        const auto [found, inserted] = index.try_emplace(rule.app, rule);
        if (!inserted) {
            found->second = OpeningRulePreference::merge(found->second, rule);
        }
    };
    for (const auto& rule : rules) {
        mergeIn(rule);
    }
    // 2. Each incoming rule merges with the local rule of its application or joins the index.
    for (const auto& rule : incoming.rules) {
        mergeIn(rule);
    }
    // 3, 4. The on/off value, version 1, rules in ascending application order.
    PreferencePayload result;
    result.version = 1;
    result.enabled = EnabledPreference::merge(enabled, incoming.enabled);
    result.rules.reserve(index.size());
    for (auto& entry : index) {
        result.rules.push_back(std::move(entry.second));
    }
    return result;
}

bool PreferencePayload::fitsStorage() const {
    if (!isValid()) {
        return false;
    }
    const auto text = encoded();
    return text && text->size() <= maximumPreferencePayloadBytes;
}

void PreferencePayload::sortRules() {
    std::stable_sort(rules.begin(), rules.end(),
                     [](const auto& lhs, const auto& rhs) { return lhs.app < rhs.app; });
}

std::optional<std::string> PreferencePayload::encoded() const {
    try {
        // nlohmann's objects keep their keys sorted; dump() without indent is the compact form.
        return nlohmann::json(*this).dump();
    } catch (const nlohmann::json::type_error&) {
        // A text that is not UTF-8 cannot be written as JSON.
        return std::nullopt;
    }
}

PreferencePayload PreferencePayload::decode(std::string_view data) {
    return strictjson::parse(data).get<PreferencePayload>();
}

} // namespace tidewright

namespace strict = tidewright::strictjson;

tidewright::EnabledPreference
nlohmann::adl_serializer<tidewright::EnabledPreference>::from_json(const nlohmann::json& j) {
    strict::object(j, "enabled");
    return tidewright::EnabledPreference{
        .revision = strict::required(j, "revision").get<tidewright::ItemRevision>(),
        .value = strict::boolean(strict::required(j, "value"), "enabled.value"),
    };
}

void nlohmann::adl_serializer<tidewright::EnabledPreference>::to_json(
    nlohmann::json& j, const tidewright::EnabledPreference& enabled) {
    j = nlohmann::json{{"revision", enabled.revision}, {"value", enabled.value}};
}

tidewright::OpeningRulePreference
nlohmann::adl_serializer<tidewright::OpeningRulePreference>::from_json(const nlohmann::json& j) {
    strict::object(j, "rule");
    auto app = strict::required(j, "app").get<tidewright::BundleID>();
    auto revision = strict::required(j, "revision").get<tidewright::ItemRevision>();
    std::optional<tidewright::OpeningAction> action;
    if (const auto* value = strict::optional(j, "action")) {
        action = value->get<tidewright::OpeningAction>();
    }
    return tidewright::OpeningRulePreference{std::move(app), std::move(revision), action};
}

void nlohmann::adl_serializer<tidewright::OpeningRulePreference>::to_json(
    nlohmann::json& j, const tidewright::OpeningRulePreference& rule) {
    j = nlohmann::json{{"app", rule.app}, {"revision", rule.revision}};
    if (rule.action) {
        j["action"] = *rule.action;
    }
}

tidewright::PreferencePayload
nlohmann::adl_serializer<tidewright::PreferencePayload>::from_json(const nlohmann::json& j) {
    strict::object(j, "payload");
    tidewright::PreferencePayload payload;
    payload.version = strict::signedInteger(strict::required(j, "version"), "version");
    if (const auto* enabled = strict::optional(j, "enabled")) {
        payload.enabled = enabled->get<tidewright::EnabledPreference>();
    }
    const auto& rules = strict::required(j, "rules");
    if (!rules.is_array()) {
        throw tidewright::DecodingError{tidewright::DecodingError::Kind::typeMismatch,
                                        "rules: expected an array"};
    }
    payload.rules.reserve(rules.size());
    for (const auto& rule : rules) {
        payload.rules.push_back(rule.get<tidewright::OpeningRulePreference>());
    }
    return payload;
}

void nlohmann::adl_serializer<tidewright::PreferencePayload>::to_json(
    nlohmann::json& j, const tidewright::PreferencePayload& payload) {
    j = nlohmann::json{{"version", payload.version}, {"rules", payload.rules}};
    if (payload.enabled) {
        j["enabled"] = *payload.enabled;
    }
}
