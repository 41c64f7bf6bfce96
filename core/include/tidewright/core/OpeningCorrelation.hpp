#pragma once
// Picks, from one inventory, the single visible window that was not seen before, and confirms it
// against the frame that the accessibility main-window read returned. Frames compare exactly.

#include "tidewright/core/Geometry.hpp"
#include "tidewright/core/Identities.hpp"
#include "tidewright/core/OpeningObservationLedger.hpp"
#include "tidewright/core/OpeningWindowPresence.hpp"

#include <optional>
#include <vector>

namespace tidewright {

enum class OpeningCorrelationResult {
    matched,
    // The right window, but the two frames do not agree yet; the caller reads again.
    waitingForGeometry,
    rejected,
};

struct OpeningCorrelation {
    OpeningCorrelation() = delete;

    // The delta's only visible window, when the process shows one window, the window has a frame
    // and it is new.
    static std::optional<OpeningObservedWindow> firstCandidate(const OpeningInventoryDelta& delta);

    // Does not look at the ledger: whether the window is new was settled by firstCandidate.
    static OpeningCorrelationResult confirm(const WindowID& id,
                                            const std::vector<OpeningObservedWindow>& windows,
                                            OpeningWindowPresence presence,
                                            const DesktopFrame& eligibleMainFrame);

    // firstCandidate, when its frame is exactly `eligibleMainFrame`.
    static std::optional<OpeningObservedWindow> uniqueCandidate(const OpeningInventoryDelta& delta,
                                                                const DesktopFrame& eligibleMainFrame);
};

} // namespace tidewright
