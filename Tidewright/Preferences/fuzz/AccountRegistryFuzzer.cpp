// Feeds arbitrary bytes as the stored account registry, the first byte choosing the current
// identity token, and checks what must hold: nothing crashes, a registry that does not decode is
// never written and resolves to unavailable, an account's marker names the current token in the
// stored registry, a new account only appends one record, and a second resolution answers the
// same without writing.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>

#include "corbel/preferences/PreferenceStorage.hpp"
#include "tidewright/preferences/AccountRegistry.hpp"
#include "tidewright/preferences/LocalPreferenceAccount.hpp"

namespace {

using namespace tidewright;

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}

class MemoryStorage final : public corbel::PreferenceStorage {
public:
    std::optional<std::string> data(std::string_view key) override {
        const auto found = values.find(std::string(key));
        if (found == values.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    void set(std::string_view key, std::string bytes) override {
        values[std::string(key)] = std::move(bytes);
    }
    void removeObject(std::string_view key) override { values.erase(std::string(key)); }

    std::map<std::string, std::string> values;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    std::array<std::uint8_t, 32> digest{};
    digest.fill(data[0]);
    const platform::CloudIdentityToken token(digest);
    const std::string stored(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::string key(AccountRegistry::defaultsKey);

    auto storage = std::make_shared<MemoryStorage>();
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
