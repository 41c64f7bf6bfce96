#pragma once
// The JSON form of a typed value, shared by the defaults file and the synced folder's key files:
// a one-member object that names the type, {"data": "<base64>"}, {"string": "..."},
// {"integer": 7}, {"real": 0.5}, {"bool": true}, {"date": <seconds since 1970>}, {"array": [...]},
// {"dictionary": {...}}.

#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "platform/defaults/PropertyValue.hpp"

namespace platform {

// REQUIRES: value.isStorable().
nlohmann::json encodePropertyValue(const PropertyValue& value);

// None for anything that is not exactly such a value: another shape, a number out of range or not
// finite, invalid base64, nesting deeper than PropertyValue::maximumDepth.
std::optional<PropertyValue> decodePropertyValue(const nlohmann::json& json);

// Parses JSON text and decodes it; none for text that is not JSON or not a value.
std::optional<PropertyValue> decodePropertyValueText(std::string_view text);

} // namespace platform
