#include "tidewright/core/Identities.hpp"

#include <utility>

namespace tidewright {

namespace {

bool isAllowedByte(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.';
}

} // namespace

bool BundleID::isValid(std::string_view text) noexcept {
    if (text.size() > 255) {
        return false;
    }
    bool sawDot = false;
    bool partEmpty = true;
    for (char c : text) {
        if (!isAllowedByte(c)) {
            return false;
        }
        if (c == '.') {
            if (partEmpty) {
                return false;
            }
            sawDot = true;
            partEmpty = true;
        } else {
            partEmpty = false;
        }
    }
    return sawDot && !partEmpty;
}

BundleID::BundleID(std::string rawValue) : rawValue_(std::move(rawValue)) {
    if (!isValid(rawValue_)) {
        throw IdentityError::invalidBundleID;
    }
}

} // namespace tidewright
