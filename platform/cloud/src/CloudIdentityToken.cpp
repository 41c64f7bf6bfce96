#include "platform/cloud/CloudIdentity.hpp"

#include <algorithm>

namespace platform {

namespace {
// "TWID", a format byte, then the 32 digest bytes.
constexpr std::string_view archivePrefix{"TWID\x01", 5};
} // namespace

std::string CloudIdentityToken::archive() const {
    std::string archive(archivePrefix);
    archive.append(reinterpret_cast<const char*>(digest_.data()), digest_.size());
    return archive;
}

std::optional<CloudIdentityToken> CloudIdentityToken::unarchive(std::string_view archive) {
    if (archive.size() != archivePrefix.size() + 32 ||
        archive.substr(0, archivePrefix.size()) != archivePrefix) {
        return std::nullopt;
    }
    std::array<std::uint8_t, 32> digest{};
    std::transform(archive.begin() + static_cast<std::ptrdiff_t>(archivePrefix.size()), archive.end(),
                   digest.begin(), [](char byte) { return static_cast<std::uint8_t>(byte); });
    return CloudIdentityToken(digest);
}

} // namespace platform
