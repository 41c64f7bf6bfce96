#include "tidewright/core/PreferencePayloadHeader.hpp"

#include "StrictJson.hpp"

namespace tidewright {

std::optional<PreferencePayloadHeader> PreferencePayloadHeader::decode(const nlohmann::json& document) {
    try {
        strictjson::object(document, "header");
        return PreferencePayloadHeader{
            strictjson::signedInteger(strictjson::required(document, "version"), "version")};
    } catch (const DecodingError&) {
        return std::nullopt;
    }
}

std::optional<PreferencePayloadHeader> PreferencePayloadHeader::decode(std::string_view data) {
    nlohmann::json document;
    try {
        document = strictjson::parse(data);
    } catch (const DecodingError&) {
        return std::nullopt;
    }
    return decode(document);
}

} // namespace tidewright
