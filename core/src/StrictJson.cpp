#include "StrictJson.hpp"

#include <limits>
#include <utility>
#include <vector>

namespace tidewright::strictjson {

namespace {

using json = nlohmann::json;

[[noreturn]] void fail(DecodingError::Kind kind, std::string_view what, std::string_view why) {
    throw DecodingError{kind, std::string(what) + ": " + std::string(why)};
}

// Builds the document from nlohmann's SAX events. Kept to what the DOM parser does (a repeated key
// overwrites the earlier value) except for integer literals that overflowed to a float.
class DocumentBuilder {
public:
    bool null() { return place(json(nullptr)); }
    bool boolean(bool value) { return place(json(value)); }
    bool number_integer(json::number_integer_t value) { return place(json(value)); }
    bool number_unsigned(json::number_unsigned_t value) { return place(json(value)); }
    bool number_float(json::number_float_t value, const json::string_t& text) {
        if (text.find_first_of(".eE") == std::string::npos) {
            return place(json::binary({}));
        }
        return place(json(value));
    }
    bool string(json::string_t& value) { return place(json(std::move(value))); }
    bool binary(json::binary_t& value) { return place(json::binary(std::move(value))); }
    bool start_object(std::size_t) {
        open_.push_back(placed(json::object()));
        return true;
    }
    bool key(json::string_t& key) {
        slot_ = &(*open_.back())[key];
        return true;
    }
    bool end_object() {
        open_.pop_back();
        return true;
    }
    bool start_array(std::size_t) {
        open_.push_back(placed(json::array()));
        return true;
    }
    bool end_array() {
        open_.pop_back();
        return true;
    }
    template <typename Exception>
    bool parse_error(std::size_t, const std::string&, const Exception& error) {
        error_ = error.what();
        return false;
    }

    json& document() { return root_; }
    const std::string& error() const { return error_; }

private:
    bool place(json value) {
        placed(std::move(value));
        return true;
    }

    // Where the value goes: the root, the end of the open array, or the slot of the last key.
    // Pointers into open containers stay valid: only the innermost container grows.
    json* placed(json value) {
        if (open_.empty()) {
            root_ = std::move(value);
            return &root_;
        }
        json& container = *open_.back();
        if (container.is_array()) {
            container.push_back(std::move(value));
            return &container.back();
        }
        *slot_ = std::move(value);
        return slot_;
    }

    json root_;
    std::vector<json*> open_;
    json* slot_ = nullptr;
    std::string error_;
};

bool isOverflowedInteger(const json& value) {
    return value.is_binary();
}

} // namespace

json parse(std::string_view data) {
    if (data.substr(0, 3) == "\xEF\xBB\xBF") {
        fail(DecodingError::Kind::dataCorrupted, "document", "a byte-order mark is not allowed");
    }
    // nlohmann's reader takes a NUL byte for the end of the input and would accept whatever
    // follows it; JSON text never holds one, not even inside a string.
    if (data.find('\0') != std::string_view::npos) {
        fail(DecodingError::Kind::dataCorrupted, "document", "a NUL byte is not allowed");
    }
    DocumentBuilder builder;
    bool parsed = false;
    try {
        parsed = json::sax_parse(data.begin(), data.end(), &builder);
    } catch (const json::exception& error) {
        fail(DecodingError::Kind::dataCorrupted, "document", error.what());
    }
    if (!parsed) {
        fail(DecodingError::Kind::dataCorrupted, "document", builder.error());
    }
    return std::move(builder.document());
}

const json& object(const json& value, std::string_view what) {
    if (!value.is_object()) {
        fail(DecodingError::Kind::typeMismatch, what, "expected an object");
    }
    return value;
}

const json& required(const json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end()) {
        fail(DecodingError::Kind::keyNotFound, key, "missing");
    }
    return *found;
}

const json* optional(const json& object, const char* key) {
    const auto found = object.find(key);
    if (found == object.end() || found->is_null()) {
        return nullptr;
    }
    return &*found;
}

std::uint64_t unsignedInteger(const json& value, std::string_view what) {
    if (value.is_number_unsigned()) {
        return value.get<std::uint64_t>();
    }
    if (value.is_number_integer()) {
        // nlohmann reads every non-negative literal as unsigned, so this is "-0" or negative.
        const auto signedValue = value.get<std::int64_t>();
        if (signedValue == 0) {
            return 0;
        }
        fail(DecodingError::Kind::dataCorrupted, what, "negative where an unsigned integer is expected");
    }
    if (isOverflowedInteger(value)) {
        fail(DecodingError::Kind::dataCorrupted, what, "integer out of range");
    }
    fail(DecodingError::Kind::typeMismatch, what, "expected an integer");
}

std::int64_t signedInteger(const json& value, std::string_view what) {
    if (value.is_number_unsigned()) {
        const auto unsignedValue = value.get<std::uint64_t>();
        if (unsignedValue > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
            fail(DecodingError::Kind::dataCorrupted, what, "integer out of range");
        }
        return static_cast<std::int64_t>(unsignedValue);
    }
    if (value.is_number_integer()) {
        return value.get<std::int64_t>();
    }
    if (isOverflowedInteger(value)) {
        fail(DecodingError::Kind::dataCorrupted, what, "integer out of range");
    }
    fail(DecodingError::Kind::typeMismatch, what, "expected an integer");
}

std::string string(const json& value, std::string_view what) {
    if (!value.is_string()) {
        fail(DecodingError::Kind::typeMismatch, what, "expected a string");
    }
    return value.get<std::string>();
}

bool boolean(const json& value, std::string_view what) {
    if (!value.is_boolean()) {
        fail(DecodingError::Kind::typeMismatch, what, "expected a boolean");
    }
    return value.get<bool>();
}

} // namespace tidewright::strictjson
