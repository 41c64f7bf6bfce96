#include "tidewright/preferences/AccountRegistry.hpp"

#include <set>

#include <nlohmann/json.hpp>

#include "corbel/core/Base64.hpp"

namespace tidewright {

std::optional<AccountRegistry> AccountRegistry::decode(std::string_view data) {
    if (data.size() > maximumBytes) {
        return std::nullopt;
    }
    const auto json = nlohmann::json::parse(data, nullptr, false);
    if (json.is_discarded() || !json.is_object()) {
        return std::nullopt;
    }
    const auto version = json.find("version");
    const auto records = json.find("records");
    if (version == json.end() || !version->is_number_integer() || version->get<std::int64_t>() != 1 ||
        (version->is_number_unsigned() && version->get<std::uint64_t>() != 1) || records == json.end() ||
        !records->is_array() || records->size() > maximumRecords) {
        return std::nullopt;
    }
    AccountRegistry registry;
    std::set<std::string> markers;
    for (const auto& item : *records) {
        if (!item.is_object()) {
            return std::nullopt;
        }
        const auto archive = item.find("archive");
        const auto marker = item.find("marker");
        if (archive == item.end() || !archive->is_string() || marker == item.end() || !marker->is_string()) {
            return std::nullopt;
        }
        auto bytes = corbel::base64Decode(archive->get_ref<const std::string&>());
        const auto& text = marker->get_ref<const std::string&>();
        if (!bytes || bytes->size() > maximumArchiveBytes || text.empty() ||
            text.size() > maximumMarkerBytes || !markers.insert(text).second) {
            return std::nullopt;
        }
        registry.records.push_back(Record{std::move(*bytes), text});
    }
    return registry;
}

std::optional<std::string> AccountRegistry::encode() const {
    nlohmann::json list = nlohmann::json::array();
    for (const auto& record : records) {
        list.push_back({{"archive", corbel::base64Encode(record.archive)}, {"marker", record.marker}});
    }
    std::string text;
    try {
        text = nlohmann::json{{"version", 1}, {"records", std::move(list)}}.dump();
    } catch (const nlohmann::json::exception&) {
        return std::nullopt; // a marker that is not UTF-8
    }
    if (text.size() > maximumBytes) {
        return std::nullopt;
    }
    return text;
}

} // namespace tidewright
