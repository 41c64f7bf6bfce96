#pragma once
// The format version of a stored preference payload, read alone so that a payload of another
// version is recognised even when the rest of it would not decode. Every reader of stored data
// judges the version through this one decoder, so byte-order marks, NUL bytes, repeated keys and
// integer ranges count the same everywhere.

#include <cstdint>
#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

namespace tidewright {

struct PreferencePayloadHeader {
    std::int64_t version = 1;

    bool operator==(const PreferencePayloadHeader&) const = default;

    // None unless the data is strict JSON (PreferencePayload::decode's rules) holding an object
    // whose "version" is an integer that fits 64 bits.
    static std::optional<PreferencePayloadHeader> decode(std::string_view data);
    // The same for a document already parsed strictly.
    static std::optional<PreferencePayloadHeader> decode(const nlohmann::json& document);
};

} // namespace tidewright
