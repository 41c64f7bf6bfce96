#pragma once
// New UUID strings, for writer identities, account markers and registrations.

#include <string>

namespace corbel {

// A random UUID in its 36-character upper-case form.
std::string makeUuidString();

} // namespace corbel
