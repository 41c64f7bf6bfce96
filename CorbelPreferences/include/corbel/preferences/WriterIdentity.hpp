#pragma once
// This installation's writer identity, the name stamped on every preference revision it writes.

#include <string>
#include <string_view>

#include "platform/defaults/UserDefaults.hpp"

namespace corbel {

// 1 to 128 bytes of well-formed UTF-8: what a revision's writer must be to be written and merged.
bool isValidWriterIdentity(std::string_view writer);

// The string stored under key when it is a valid writer identity; otherwise (nothing stored,
// another type, an empty, oversized or ill-formed one, which would make every later write fail) a
// new UUID string. Either way the answer is written back under key.
std::string checkedWriterIdentity(platform::UserDefaults& defaults, std::string_view key);

} // namespace corbel
