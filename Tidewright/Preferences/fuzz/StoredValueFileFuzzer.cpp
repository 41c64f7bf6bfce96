// Feeds arbitrary bytes to the synced folder's key-file decoder, and checks what must hold
// whatever a sync tool or another program left in the folder: nothing crashes, an intact file
// gives a storable value that survives its own round trip, anything else reads as exactly its
// bytes, the store's measure of the value is the length of its text, and a file name read as a
// key is that key's one name.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.hpp"
#include "platform/cloud/KeyFileName.hpp"
#include "platform/cloud/PropertyListSize.hpp"
#include "platform/cloud/StoredValueFile.hpp"

using namespace platform;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const auto decoded = decodeStoredValue(bytes);
    if (decoded.intact) {
        require(decoded.value.isStorable(), "an intact file holds a storable value");
        const auto again = encodeStoredValue(decoded.value);
        require(again.has_value(), "a decoded value can be written again");
        const auto back = decodeStoredValue(*again);
        require(back.intact && back.value == decoded.value, "a written value reads back as itself");
    } else {
        require(decoded.value == PropertyValue::data(std::string(bytes)),
                "a damaged file reads as its raw bytes");
    }

    const auto measured = xmlPropertyListSize(decoded.value);
    const auto text = xmlPropertyList(decoded.value);
    require(measured.has_value() == text.has_value(), "a value is measured exactly when it can be written");
    if (measured) {
        require(*measured == text->size(), "the measure is the length of the text");
    }

    if (const auto key = keyForFileName(bytes)) {
        require(keyFileName(*key) == bytes, "a key has one file name");
    }
    return 0;
}
