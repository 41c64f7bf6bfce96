#pragma once
// This installation's writer identity for the application's preference revisions.

#include <string>
#include <string_view>

#include "platform/defaults/UserDefaults.hpp"

namespace tidewright {

inline constexpr std::string_view preferenceWriterKey = "tidewright.preference.writer";

// The writer under preferenceWriterKey, or a new UUID string when none is stored or the stored
// one is unusable (corbel::checkedWriterIdentity); written back either way. The repository's
// factory reads the writer through this and nothing else.
std::string preferenceWriter(platform::UserDefaults& defaults);

} // namespace tidewright
