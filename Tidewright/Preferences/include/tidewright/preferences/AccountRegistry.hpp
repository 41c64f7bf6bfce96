#pragma once
// The registry of the synced accounts this installation has seen, kept as JSON in the user
// defaults: each account's archived identity token with the marker made for it. The marker, not
// the token, names the account in the cache's keys, so nothing stored identifies the account in
// clear.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidewright {

struct AccountRegistry {
    static constexpr std::string_view defaultsKey = "tidewright.preference.accountRegistry.v1";
    static constexpr std::size_t maximumBytes = 1048576;
    static constexpr std::size_t maximumRecords = 32;
    static constexpr std::size_t maximumMarkerBytes = 128;
    static constexpr std::size_t maximumArchiveBytes = 65536;

    struct Record {
        // The identity token's archive.
        std::string archive;
        // A UUID string made when the account was first seen.
        std::string marker;
        bool operator==(const Record&) const = default;
    };

    // In the order the accounts were first seen; the registry only grows.
    std::vector<Record> records;

    // {"version": 1, "records": [{"archive": "<base64>", "marker": "..."}]}, checked whole: none
    // for data over maximumBytes, anything but that shape, another version, more than
    // maximumRecords records, a repeated marker, or any record whose marker is not 1 to
    // maximumMarkerBytes bytes or whose archive is over maximumArchiveBytes. A registry with one
    // damaged record is damaged as a whole, wherever the record stands.
    static std::optional<AccountRegistry> decode(std::string_view data);
    // None when the encoding would be over maximumBytes or cannot be made.
    std::optional<std::string> encode() const;

    bool operator==(const AccountRegistry&) const = default;
};

} // namespace tidewright
