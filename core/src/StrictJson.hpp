#pragma once
// Strict reading of the preference JSON: integers only as JSON integers that fit their type, no
// byte-order mark, and every failure as a DecodingError of the right kind.

#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "tidewright/core/DecodingError.hpp"

namespace tidewright::strictjson {

// Parses one JSON document. An integer literal too large for 64 bits is kept as an empty binary
// value, which JSON text can never produce, so a reader can report it as out of range rather than
// as a number of the wrong type. A repeated key keeps its last value.
// Throws DecodingError::dataCorrupted for text that is not JSON, starts with a byte-order mark or
// holds a NUL byte.
nlohmann::json parse(std::string_view data);

// Throws DecodingError::typeMismatch unless the value is an object.
const nlohmann::json& object(const nlohmann::json& value, std::string_view what);

// A required member: keyNotFound when missing. A null member is returned as it is, so the reader
// of the value reports it as a type mismatch.
const nlohmann::json& required(const nlohmann::json& object, const char* key);

// An optional member: nullptr when missing or null.
const nlohmann::json* optional(const nlohmann::json& object, const char* key);

std::uint64_t unsignedInteger(const nlohmann::json& value, std::string_view what);
std::int64_t signedInteger(const nlohmann::json& value, std::string_view what);
std::string string(const nlohmann::json& value, std::string_view what);
bool boolean(const nlohmann::json& value, std::string_view what);

} // namespace tidewright::strictjson
