#include "platform/cloud/StoredValueFile.hpp"

#include <QByteArrayView>
#include <QCryptographicHash>

#include "platform/defaults/PropertyValueJson.hpp"

namespace platform {

namespace {

constexpr std::string_view magic = "tidewright-kv 1 ";
constexpr std::size_t digestDigits = 64;

std::string sha256Hex(std::string_view bytes) {
    const QByteArray digest = QCryptographicHash::hash(
        QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())), QCryptographicHash::Sha256);
    return digest.toHex().toStdString();
}

DecodedStoredValue raw(std::string_view bytes) {
    return {PropertyValue::data(std::string(bytes)), false};
}

} // namespace

std::optional<std::string> encodeStoredValue(const PropertyValue& value) {
    if (!value.isStorable()) {
        return std::nullopt;
    }
    const std::string body = encodePropertyValue(value).dump();
    std::string file;
    file.reserve(magic.size() + digestDigits + 1 + body.size());
    file += magic;
    file += sha256Hex(body);
    file += '\n';
    file += body;
    return file;
}

DecodedStoredValue decodeStoredValue(std::string_view bytes) {
    const std::size_t headerSize = magic.size() + digestDigits + 1;
    if (bytes.size() < headerSize || bytes.substr(0, magic.size()) != magic ||
        bytes[headerSize - 1] != '\n') {
        return raw(bytes);
    }
    const std::string_view body = bytes.substr(headerSize);
    // toHex() writes lower-case digits, so an upper-case digest is not ours either.
    if (bytes.substr(magic.size(), digestDigits) != sha256Hex(body)) {
        return raw(bytes);
    }
    auto value = decodePropertyValueText(body);
    if (!value) {
        return raw(bytes);
    }
    return {std::move(*value), true};
}

} // namespace platform
