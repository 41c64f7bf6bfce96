// Feeds arbitrary bytes as the stored account registry, the first byte choosing the current
// identity token, and checks what must hold: nothing crashes, a registry that does not decode is
// never written and resolves to unavailable, an account's marker names the current token in the
// stored registry, a new account only appends one record, and a second resolution answers the
// same without writing.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzCheck.hpp"
#include "corbel/preferences/MemoryPreferenceStorage.hpp"
#include "tidewright/preferences/AccountRegistry.hpp"
#include "tidewright/preferences/LocalPreferenceAccount.hpp"

using namespace tidewright;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    std::array<std::uint8_t, 32> digest{};
    digest.fill(data[0]);
    const platform::CloudIdentityToken token(digest);
    const std::string stored(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string key(AccountRegistry::defaultsKey);

    auto storage = std::make_shared<corbel::MemoryPreferenceStorage>();
    storage->values[key] = stored;
    LocalPreferenceAccount account(storage, [&] { return token; });

    const auto before = AccountRegistry::decode(stored);
    if (before) {
        const auto encoded = before->encode();
        require(!encoded || AccountRegistry::decode(*encoded) == before,
                "a registry survives its own round trip");
    }
    const auto result = account.resolve();
    const std::string after = storage->values[key];
    if (!before || !result.isAvailable()) {
        require(after == stored, "an unavailable resolution writes nothing");
        require(before || !result.isAvailable(), "a registry that does not decode resolves to unavailable");
        return 0;
    }

    require(!result.marker().empty() && result.marker().size() <= AccountRegistry::maximumMarkerBytes,
            "a marker is 1 to 128 bytes");
    const auto registry = AccountRegistry::decode(after);
    require(registry.has_value(), "the stored registry decodes after a resolution");
    bool named = false;
    for (const auto& record : registry->records) {
        if (record.marker == result.marker()) {
            named = platform::CloudIdentityToken::unarchive(record.archive) == token;
        }
    }
    require(named, "the marker names the current token");
    if (after != stored) {
        require(registry->records.size() == before->records.size() + 1, "a new account appends one record");
        require(std::equal(before->records.begin(), before->records.end(), registry->records.begin()),
                "the known records stay as they were");
    }
    require(account.resolve() == result, "a second resolution answers the same");
    require(storage->values[key] == after, "a second resolution writes nothing");
    return 0;
}
