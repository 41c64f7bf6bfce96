#pragma once
// The revision of one synced preference item: a counter and the writer that made it. Merges keep
// the greater revision, so every device must order revisions the same way.

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace tidewright {

// Writers compare as Unicode texts: canonically equivalent texts are equal, others order by the
// code points of their NFC forms. Equality and order share this one rule, so two devices never
// disagree about which of two revisions is newer. Ill-formed UTF-8 compares as if each bad
// sequence were U+FFFD.
std::weak_ordering compareWriterTexts(std::string_view lhs, std::string_view rhs);

// A writer identity is 1 to 128 UTF-8 bytes long.
inline constexpr std::size_t maximumWriterBytes = 128;

constexpr bool isValidWriterLength(std::string_view writer) noexcept {
    return !writer.empty() && writer.size() <= maximumWriterBytes;
}

// Whether the bytes are well-formed UTF-8, so that the text can be written as JSON and compares
// as itself.
bool isWellFormedUtf8(std::string_view text) noexcept;

struct ItemRevision {
    // 0 is never valid in a payload; an edit uses one more than the payload's highest counter.
    std::uint64_t counter = 0;
    // The installation that made the revision.
    std::string writer;

    // By counter, then by writer text.
    std::weak_ordering operator<=>(const ItemRevision& other) const {
        if (counter != other.counter) {
            return counter <=> other.counter;
        }
        return compareWriterTexts(writer, other.writer);
    }
    bool operator==(const ItemRevision& other) const { return (*this <=> other) == 0; }
};

} // namespace tidewright

// {"counter": unsigned integer, "writer": string}. Decoding throws DecodingError.
template <>
struct nlohmann::adl_serializer<tidewright::ItemRevision> {
    static tidewright::ItemRevision from_json(const nlohmann::json& j);
    static void to_json(nlohmann::json& j, const tidewright::ItemRevision& revision);
};
