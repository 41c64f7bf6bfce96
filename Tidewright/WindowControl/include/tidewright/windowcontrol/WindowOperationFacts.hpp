#pragma once
// What the app model tells the window operation service at the start of a run and at every re-check:
// the frontmost process, the generation counter and whether operation is allowed.

#include <cstdint>
#include <optional>

#include "tidewright/core/Identities.hpp"

namespace tidewright {

struct WindowOperationFacts {
    std::optional<ProcessID> process;
    std::uint64_t generation = 0;
    bool operationAllowed = false;

    bool operator==(const WindowOperationFacts&) const = default;
};

} // namespace tidewright
