#pragma once
// The identity of the account the synced folder belongs to: an opaque token that can be compared
// and archived, and a notice when it changes.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/cloud/Observers.hpp"

namespace platform {

class CloudIdentityToken {
public:
    explicit CloudIdentityToken(std::array<std::uint8_t, 32> digest) : digest_(digest) {}

    // A small self-describing archive of the token; unarchive() reads exactly what this writes
    // and nothing else.
    std::string archive() const;
    static std::optional<CloudIdentityToken> unarchive(std::string_view archive);

    const std::array<std::uint8_t, 32>& digest() const noexcept { return digest_; }
    bool operator==(const CloudIdentityToken&) const = default;

private:
    std::array<std::uint8_t, 32> digest_;
};

// Main thread only.
class CloudIdentity {
public:
    virtual ~CloudIdentity() = default;

    // The current account's token; none when there is no account.
    virtual std::optional<CloudIdentityToken> identityToken() const = 0;
    // Called on the main thread, on a later turn, after the token changed.
    virtual Subscription observeIdentityChanges(std::function<void()> observer) = 0;
};

} // namespace platform
