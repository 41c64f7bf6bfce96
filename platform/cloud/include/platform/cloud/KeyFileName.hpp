#pragma once
// How a key of the synced store names its file: the key's bytes percent-encoded, every byte but an
// ASCII letter, digit, "-" and "_" as "%" and two upper-case hex digits, then ".kv". Only the one
// canonical name of a key is read as that key, so a sync tool's conflict copy ("key (copy).kv",
// "key.sync-conflict-….kv") and a temporary file are never taken for a key.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

std::string keyFileName(std::string_view key);

// The key a file name stands for; none for any name that is not the canonical name of a key of 1
// to maximumKeyBytes well-formed UTF-8 bytes.
std::optional<std::string> keyForFileName(std::string_view name);

} // namespace platform
