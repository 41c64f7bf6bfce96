#include "platform/defaults/PropertyValue.hpp"

#include <QByteArrayView>
#include <QStringDecoder>

#include <cmath>

namespace platform {

bool isWellFormedUtf8(std::string_view text) noexcept {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = decoder(QByteArrayView(text.data(), static_cast<qsizetype>(text.size())));
    return !decoder.hasError();
}

namespace {

bool storable(const PropertyValue& value, int depth) {
    if (depth > PropertyValue::maximumDepth) {
        return false;
    }
    const auto& storage = value.storage();
    if (const auto* text = std::get_if<std::string>(&storage)) {
        return isWellFormedUtf8(*text);
    }
    if (const auto* real = std::get_if<double>(&storage)) {
        return std::isfinite(*real);
    }
    if (const auto* date = std::get_if<PropertyDate>(&storage)) {
        return std::isfinite(date->secondsSince1970);
    }
    if (const auto* items = std::get_if<PropertyValue::Array>(&storage)) {
        for (const auto& item : *items) {
            if (!storable(item, depth + 1)) {
                return false;
            }
        }
    }
    if (const auto* entries = std::get_if<PropertyValue::Dictionary>(&storage)) {
        for (const auto& [key, item] : *entries) {
            if (!isWellFormedUtf8(key) || !storable(item, depth + 1)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

bool PropertyValue::isStorable() const {
    return storable(*this, 0);
}

} // namespace platform
