#include "tidewright/preferences/StoredPreferenceData.hpp"

#include "tidewright/core/DecodingError.hpp"
#include "tidewright/core/PreferencePayloadHeader.hpp"
#include "tidewright/preferences/PreferenceKeys.hpp"

namespace tidewright {

namespace {

std::optional<PreferencePayload> decodedPayload(std::string_view data) {
    try {
        return PreferencePayload::decode(data);
    } catch (const DecodingError&) {
    } catch (const IdentityError&) {
    }
    return std::nullopt;
}

} // namespace

bool acceptsPreferenceData(std::string_view key, std::string_view data) {
    if (const auto header = PreferencePayloadHeader::decode(data); header && header->version > 1) {
        return true;
    }
    const auto payload = decodedPayload(data);
    if (!payload) {
        return false;
    }
    if (key == enabledPreferenceKey) {
        return true;
    }
    if (!payload->rules.empty()) {
        return ruleKey(payload->rules.front().app) == key;
    }
    return !payload->enabled;
}

std::optional<PreferenceFragment> preferenceDataFragment(std::string_view key, std::string_view data) {
    if (key == enabledPreferenceKey) {
        return PreferenceFragment::enabled();
    }
    const auto header = PreferencePayloadHeader::decode(data);
    if (!header || header->version != 1) {
        return std::nullopt;
    }
    const auto payload = decodedPayload(data);
    if (!payload || payload->rules.empty() || ruleKey(payload->rules.front().app) != key) {
        return std::nullopt;
    }
    return PreferenceFragment::rule(payload->rules.front().app);
}

} // namespace tidewright
