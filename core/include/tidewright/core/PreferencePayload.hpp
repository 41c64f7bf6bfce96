#pragma once
// The synced preferences as one small JSON document: the on/off switch and the per-application
// opening rules, each item with its revision, and the deterministic merge of two documents.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "tidewright/core/Identities.hpp"
#include "tidewright/core/ItemRevision.hpp"
#include "tidewright/core/OpeningAction.hpp"

namespace tidewright {

// The limit for incoming data and for any encoded payload.
inline constexpr std::size_t maximumPreferencePayloadBytes = 32'768;

// The stored on/off switch of the whole program.
struct EnabledPreference {
    ItemRevision revision;
    // true: the program operates; false: it is switched off.
    bool value = true;

    bool operator==(const EnabledPreference&) const = default;

    // The on/off merge of a local and an incoming value, either possibly absent. At equal
    // revisions off wins, and the kept record is the one that carries the resulting value.
    static std::optional<EnabledPreference> merge(const std::optional<EnabledPreference>& local,
                                                  const std::optional<EnabledPreference>& incoming);
};

// The stored opening rule of one application. An absent action marks a removed rule; the marker
// is kept so that the removal wins over older rules on other devices.
struct OpeningRulePreference {
    BundleID app;
    ItemRevision revision;
    std::optional<OpeningAction> action;

    bool operator==(const OpeningRulePreference&) const = default;

    bool isRemovalMarker() const noexcept { return !action.has_value(); }

    // REQUIRES: local.app == incoming.app. Answers the winning record whole: the greater revision;
    // at equal revisions a removal marker (the local one first), then the greater action text,
    // then the local rule.
    static OpeningRulePreference merge(const OpeningRulePreference& local,
                                       const OpeningRulePreference& incoming);
};

struct PreferencePayload {
    // The format version; only 1 is supported.
    std::int64_t version = 1;
    std::optional<EnabledPreference> enabled;
    // At most one per application; payloads made here keep them in ascending application order.
    std::vector<OpeningRulePreference> rules;

    bool operator==(const PreferencePayload&) const = default;

    // Version 1, no on/off value, no rules.
    static PreferencePayload empty() { return PreferencePayload{}; }

    // The on/off value, or true when it was never set.
    bool operationEnabled() const noexcept { return enabled ? enabled->value : true; }

    // The action of the first rule of the application; absent for none or a removal marker.
    std::optional<OpeningAction> action(const BundleID& app) const;

    // Version 1, every counter above 0, every writer 1 to 128 bytes, no application twice.
    bool isValid() const;

    // The largest counter among the on/off value and every rule, removal markers included.
    std::uint64_t highestCounter() const noexcept;

    // The receiver is the local side, the argument the incoming side. No item is dropped and no
    // revision is invented; the result has version 1 and its rules in application order.
    PreferencePayload merged(const PreferencePayload& incoming) const;

    // Valid, and the compact encoding is at most maximumPreferencePayloadBytes long.
    bool fitsStorage() const;

    // Stable sort into ascending application order.
    void sortRules();

    // The compact JSON with sorted keys, as stored; absent when a text is not UTF-8.
    std::optional<std::string> encoded() const;

    // Reads a payload strictly. Throws DecodingError for any structural fault and
    // IdentityError::invalidBundleID for an application identifier that is refused. Validity is
    // not checked.
    static PreferencePayload decode(std::string_view data);
};

} // namespace tidewright

// JSON form: absent optional values are left out; a missing key and a null both read as absent;
// unknown keys are ignored. Decoding throws as PreferencePayload::decode does.
template <>
struct nlohmann::adl_serializer<tidewright::EnabledPreference> {
    static tidewright::EnabledPreference from_json(const nlohmann::json& j);
    static void to_json(nlohmann::json& j, const tidewright::EnabledPreference& enabled);
};

template <>
struct nlohmann::adl_serializer<tidewright::OpeningRulePreference> {
    static tidewright::OpeningRulePreference from_json(const nlohmann::json& j);
    static void to_json(nlohmann::json& j, const tidewright::OpeningRulePreference& rule);
};

template <>
struct nlohmann::adl_serializer<tidewright::PreferencePayload> {
    static tidewright::PreferencePayload from_json(const nlohmann::json& j);
    static void to_json(nlohmann::json& j, const tidewright::PreferencePayload& payload);
};
