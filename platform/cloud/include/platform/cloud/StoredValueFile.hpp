#pragma once
// The content of one key file of the synced folder: a header line with the SHA-256 of the body,
// then the body, the value's typed JSON (PropertyValueJson.hpp):
//   "tidewright-kv 1 " <64 lower-case hex digits> "\n" <body>
// A file that is not exactly that (torn by an interrupted copy, or written by something else)
// reads as its raw bytes, so that nothing above mistakes it for a value.

#include <optional>
#include <string>
#include <string_view>

#include "platform/defaults/PropertyValue.hpp"

namespace platform {

// None when the value is not storable (PropertyValue::isStorable()).
std::optional<std::string> encodeStoredValue(const PropertyValue& value);

struct DecodedStoredValue {
    PropertyValue value;
    // False when the bytes were not an intact file and value is the raw bytes as data.
    bool intact = false;
};

DecodedStoredValue decodeStoredValue(std::string_view bytes);

} // namespace platform
