#include "tidewright/core/ItemRevision.hpp"

#include <algorithm>

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>
#include <unicode/utf8.h>

#include "StrictJson.hpp"

namespace tidewright {

namespace {

bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

std::weak_ordering byteOrder(std::string_view lhs, std::string_view rhs) {
    // UTF-8 byte order is code point order.
    const int result = lhs.compare(rhs);
    return result < 0 ? std::weak_ordering::less
                      : (result > 0 ? std::weak_ordering::greater : std::weak_ordering::equivalent);
}

} // namespace

bool isWellFormedUtf8(std::string_view text) noexcept {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int64_t>(text.size());
    for (std::int64_t i = 0; i < length;) {
        UChar32 c = 0;
        // Refuses stray and cut sequences, overlong forms and encoded surrogates.
        U8_NEXT(bytes, i, length, c);
        if (c < 0) {
            return false;
        }
    }
    return true;
}

std::weak_ordering compareWriterTexts(std::string_view lhs, std::string_view rhs) {
    // ASCII text is its own NFC form; the issued writer identities always take this path.
    if (lhs == rhs || (isAscii(lhs) && isAscii(rhs))) {
        return byteOrder(lhs, rhs);
    }
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) {
        // Without normalisation data the same rule cannot be applied anywhere; byte order is
        // at least a consistent order on this machine.
        return byteOrder(lhs, rhs);
    }
    const auto normalized = [&](std::string_view text) {
        const icu::UnicodeString source =
            icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
        return nfc->normalize(source, status);
    };
    const icu::UnicodeString left = normalized(lhs);
    const icu::UnicodeString right = normalized(rhs);
    if (U_FAILURE(status)) {
        return byteOrder(lhs, rhs);
    }
    const int8_t result = left.compareCodePointOrder(right);
    return result < 0 ? std::weak_ordering::less
                      : (result > 0 ? std::weak_ordering::greater : std::weak_ordering::equivalent);
}

} // namespace tidewright

tidewright::ItemRevision
nlohmann::adl_serializer<tidewright::ItemRevision>::from_json(const nlohmann::json& j) {
    namespace strict = tidewright::strictjson;
    strict::object(j, "revision");
    return tidewright::ItemRevision{
        .counter = strict::unsignedInteger(strict::required(j, "counter"), "revision.counter"),
        .writer = strict::string(strict::required(j, "writer"), "revision.writer"),
    };
}

void nlohmann::adl_serializer<tidewright::ItemRevision>::to_json(nlohmann::json& j,
                                                                 const tidewright::ItemRevision& revision) {
    j = nlohmann::json{{"counter", revision.counter}, {"writer", revision.writer}};
}
