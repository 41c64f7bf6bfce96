#pragma once
// How many windows a process shows through the accessibility interface, as the presence read
// counts them. The opening ledger turns it into the process's baseline.

namespace tidewright {

enum class OpeningWindowPresence {
    none,
    one,
    several,
    unknown,
};

} // namespace tidewright
