#pragma once
// A typed value as user defaults and the synced key-value store keep it: data, string, integer,
// real, bool, date, array or dictionary.

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <variant>
#include <vector>

namespace platform {

// Bytes, kept apart from text so that a string is never read as data or the other way round.
struct PropertyData {
    std::string bytes;
    bool operator==(const PropertyData&) const = default;
};

// An instant as seconds since 1970-01-01 00:00:00 UTC. Only finite seconds can be stored.
struct PropertyDate {
    double secondsSince1970 = 0;
    bool operator==(const PropertyDate&) const = default;
};

class PropertyValue {
public:
    using Array = std::vector<PropertyValue>;
    // Ordered by the keys' bytes.
    using Dictionary = std::map<std::string, PropertyValue, std::less<>>;
    using Storage =
        std::variant<PropertyData, std::string, std::int64_t, double, bool, PropertyDate, Array, Dictionary>;

    static PropertyValue data(std::string bytes) { return PropertyValue(PropertyData{std::move(bytes)}); }
    static PropertyValue string(std::string text) { return PropertyValue(std::move(text)); }
    static PropertyValue integer(std::int64_t value) { return PropertyValue(value); }
    static PropertyValue real(double value) { return PropertyValue(value); }
    static PropertyValue boolean(bool value) { return PropertyValue(value); }
    static PropertyValue date(double secondsSince1970) {
        return PropertyValue(PropertyDate{secondsSince1970});
    }
    static PropertyValue array(Array items) { return PropertyValue(std::move(items)); }
    static PropertyValue dictionary(Dictionary entries) { return PropertyValue(std::move(entries)); }

    const Storage& storage() const noexcept { return storage_; }

    // The value when it has type T, else null: get<PropertyData>(), get<std::string>(), ...
    template <class T>
    const T* get() const noexcept {
        return std::get_if<T>(&storage_);
    }

    // Whether the value can be written: every number and date finite, every string and
    // dictionary key well-formed UTF-8, and no deeper than maximumDepth.
    bool isStorable() const;

    bool operator==(const PropertyValue&) const = default;

    // Arrays and dictionaries nest at most this deep, so that reading a hostile file cannot
    // exhaust the stack.
    static constexpr int maximumDepth = 64;

private:
    template <class T>
    explicit PropertyValue(T value) : storage_(std::move(value)) {}

    Storage storage_;
};

// Whether the bytes are well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool isWellFormedUtf8(std::string_view text) noexcept;

} // namespace platform
