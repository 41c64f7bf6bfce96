#include "corbel/core/PreferenceRecord.hpp"

#include <algorithm>

#include <nlohmann/json.hpp>

#include "corbel/core/Base64.hpp"

namespace corbel {

bool lessAsUnsignedBytes(std::string_view lhs, std::string_view rhs) noexcept {
    // char is signed here: compare the bytes as unsigned, or 0x80 would sort before 0x7F.
    return std::lexicographical_compare(lhs.begin(), lhs.end(), rhs.begin(), rhs.end(), [](char a, char b) {
        return static_cast<unsigned char>(a) < static_cast<unsigned char>(b);
    });
}

bool PreferenceRecord::isSupported() const {
    return version == currentVersion && revision != 0 && !writer.empty() &&
           writer.size() <= maximumWriterBytes && (!payload || payload->size() <= maximumPayloadBytes);
}

PreferenceRecord PreferenceRecord::merged(const PreferenceRecord& other) const {
    if (revision != other.revision) {
        return revision > other.revision ? *this : other;
    }
    if (writer != other.writer) {
        return lessAsUnsignedBytes(other.writer, writer) ? *this : other;
    }
    if (!payload) {
        return *this;
    }
    if (!other.payload) {
        return other;
    }
    return lessAsUnsignedBytes(*payload, *other.payload) ? other : *this;
}

std::optional<std::string> PreferenceRecord::encode() const {
    nlohmann::json json{{"version", version}, {"revision", revision}, {"writer", writer}};
    if (payload) {
        json["payload"] = base64Encode(*payload);
    }
    try {
        return json.dump();
    } catch (const nlohmann::json::exception&) {
        return std::nullopt;
    }
}

std::optional<PreferenceRecord> PreferenceRecord::decode(std::string_view text) {
    const auto json = nlohmann::json::parse(text, nullptr, false);
    if (json.is_discarded() || !json.is_object()) {
        return std::nullopt;
    }
    const auto version = json.find("version");
    const auto revision = json.find("revision");
    const auto writer = json.find("writer");
    if (version == json.end() || revision == json.end() || writer == json.end() || !writer->is_string()) {
        return std::nullopt;
    }
    PreferenceRecord record;
    if (version->is_number_unsigned()) {
        if (version->get<std::uint64_t>() > static_cast<std::uint64_t>(INT64_MAX)) {
            return std::nullopt;
        }
        record.version = static_cast<std::int64_t>(version->get<std::uint64_t>());
    } else if (version->is_number_integer()) {
        record.version = version->get<std::int64_t>();
    } else {
        return std::nullopt;
    }
    if (!revision->is_number_unsigned()) {
        return std::nullopt;
    }
    record.revision = revision->get<std::uint64_t>();
    record.writer = writer->get<std::string>();
    if (const auto payload = json.find("payload"); payload != json.end() && !payload->is_null()) {
        if (!payload->is_string()) {
            return std::nullopt;
        }
        record.payload = base64Decode(payload->get_ref<const std::string&>());
        if (!record.payload) {
            return std::nullopt;
        }
    }
    return record;
}

} // namespace corbel
