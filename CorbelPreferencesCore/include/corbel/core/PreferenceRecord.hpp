#pragma once
// One synced preference value as a small versioned record, and the deterministic merge that two
// installations use to agree on a value.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corbel {

struct PreferenceRecord {
    static constexpr std::int64_t currentVersion = 1;
    static constexpr std::size_t maximumWriterBytes = 128;
    static constexpr std::size_t maximumPayloadBytes = 32768;
    // Stored bytes above this are not read at all.
    static constexpr std::size_t maximumStoredBytes = 65536;

    PreferenceRecord() = default;
    PreferenceRecord(std::uint64_t revision, std::string writer, std::optional<std::string> payload)
        : revision(revision), writer(std::move(writer)), payload(std::move(payload)) {}

    std::int64_t version = currentVersion;
    // Counts the writes of this value; the first write is 1.
    std::uint64_t revision = 0;
    // The installation that wrote it.
    std::string writer;
    // The value's JSON; none marks a removed value.
    std::optional<std::string> payload;

    // Version 1, a revision above 0, a writer of 1 to 128 bytes and a payload of at most 32,768
    // bytes.
    bool isSupported() const;

    // The winner of the two: the greater revision, then the greater writer, then a removal over a
    // value, then the greater payload in the order of unsigned bytes; a complete tie keeps this one.
    PreferenceRecord merged(const PreferenceRecord& other) const;

    // {"version":…,"revision":…,"writer":…,"payload":"<base64>"}, "payload" left out when none.
    // None when JSON cannot carry the writer (not UTF-8).
    std::optional<std::string> encode() const;
    // None for anything but such an object: a missing or mistyped member, an integer out of range,
    // a payload that is not base64, text that is not JSON. Unknown members are ignored; a null
    // payload is none.
    static std::optional<PreferenceRecord> decode(std::string_view json);

    bool operator==(const PreferenceRecord&) const = default;
};

// Byte strings ordered as unsigned bytes, a proper prefix first.
bool lessAsUnsignedBytes(std::string_view lhs, std::string_view rhs) noexcept;

} // namespace corbel
