#include "platform/defaults/PropertyValueJson.hpp"

#include <QByteArray>

#include <cmath>
#include <limits>

namespace platform {

namespace {

using Json = nlohmann::json;

struct Encoder {
    Json operator()(const PropertyData& data) const {
        const QByteArray base64 =
            QByteArray::fromRawData(data.bytes.data(), static_cast<qsizetype>(data.bytes.size())).toBase64();
        return Json{{"data", base64.toStdString()}};
    }
    Json operator()(const std::string& text) const { return Json{{"string", text}}; }
    Json operator()(std::int64_t value) const { return Json{{"integer", value}}; }
    Json operator()(double value) const { return Json{{"real", value}}; }
    Json operator()(bool value) const { return Json{{"bool", value}}; }
    Json operator()(const PropertyDate& date) const { return Json{{"date", date.secondsSince1970}}; }
    Json operator()(const PropertyValue::Array& items) const {
        Json array = Json::array();
        for (const auto& item : items) {
            array.push_back(encodePropertyValue(item));
        }
        return Json{{"array", std::move(array)}};
    }
    Json operator()(const PropertyValue::Dictionary& entries) const {
        Json object = Json::object();
        for (const auto& [key, item] : entries) {
            object[key] = encodePropertyValue(item);
        }
        return Json{{"dictionary", std::move(object)}};
    }
};

std::optional<double> finiteNumber(const Json& json) {
    if (!json.is_number()) {
        return std::nullopt;
    }
    const double value = json.get<double>();
    if (!std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

std::optional<PropertyValue> decode(const Json& json, int depth) {
    if (depth > PropertyValue::maximumDepth || !json.is_object() || json.size() != 1) {
        return std::nullopt;
    }
    const auto entry = json.begin();
    const std::string& type = entry.key();
    const Json& body = entry.value();
    if (type == "data") {
        if (!body.is_string()) {
            return std::nullopt;
        }
        const auto& text = body.get_ref<const std::string&>();
        const auto decoded = QByteArray::fromBase64Encoding(QByteArray::fromStdString(text),
                                                            QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded) {
            return std::nullopt;
        }
        return PropertyValue::data(decoded.decoded.toStdString());
    }
    if (type == "string") {
        if (!body.is_string()) {
            return std::nullopt;
        }
        return PropertyValue::string(body.get<std::string>());
    }
    if (type == "integer") {
        if (body.is_number_integer() && !body.is_number_unsigned()) {
            return PropertyValue::integer(body.get<std::int64_t>());
        }
        if (body.is_number_unsigned() &&
            body.get<std::uint64_t>() <=
                static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            return PropertyValue::integer(static_cast<std::int64_t>(body.get<std::uint64_t>()));
        }
        return std::nullopt;
    }
    if (type == "real" || type == "date") {
        const auto number = finiteNumber(body);
        if (!number) {
            return std::nullopt;
        }
        return type == "real" ? PropertyValue::real(*number) : PropertyValue::date(*number);
    }
    if (type == "bool") {
        if (!body.is_boolean()) {
            return std::nullopt;
        }
        return PropertyValue::boolean(body.get<bool>());
    }
    if (type == "array") {
        if (!body.is_array()) {
            return std::nullopt;
        }
        PropertyValue::Array items;
        items.reserve(body.size());
        for (const auto& element : body) {
            auto item = decode(element, depth + 1);
            if (!item) {
                return std::nullopt;
            }
            items.push_back(std::move(*item));
        }
        return PropertyValue::array(std::move(items));
    }
    if (type == "dictionary") {
        if (!body.is_object()) {
            return std::nullopt;
        }
        PropertyValue::Dictionary entries;
        for (const auto& [key, element] : body.items()) {
            auto item = decode(element, depth + 1);
            if (!item) {
                return std::nullopt;
            }
            entries.emplace(key, std::move(*item));
        }
        return PropertyValue::dictionary(std::move(entries));
    }
    return std::nullopt;
}

} // namespace

nlohmann::json encodePropertyValue(const PropertyValue& value) {
    return std::visit(Encoder{}, value.storage());
}

std::optional<PropertyValue> decodePropertyValue(const nlohmann::json& json) {
    return decode(json, 0);
}

std::optional<PropertyValue> decodePropertyValueText(std::string_view text) {
    // The parser refuses ill-formed UTF-8 in strings and keys, so every decoded text is storable.
    Json json = Json::parse(text, nullptr, false);
    if (json.is_discarded()) {
        return std::nullopt;
    }
    return decodePropertyValue(json);
}

} // namespace platform
