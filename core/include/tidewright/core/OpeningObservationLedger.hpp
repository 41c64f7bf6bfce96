#pragma once
// The per-process memory of the windows already seen, so that a window open before an opportunity
// began never counts as new, and what was last known of the process's windows.

#include "tidewright/core/Geometry.hpp"
#include "tidewright/core/Identities.hpp"
#include "tidewright/core/OpeningWindowPresence.hpp"

#include <cstdint>
#include <optional>
#include <unordered_set>
#include <utility>
#include <vector>

namespace tidewright {

// One window of one window-server inventory.
struct OpeningObservedWindow {
    WindowID id;
    // 0 is the layer of ordinary application windows.
    std::int32_t layer;
    // Absent when the inventory gave no usable bounds.
    std::optional<DesktopFrame> frame;
    bool isOnscreen;

    // Whether the frame is known does not matter here.
    bool isVisible() const noexcept { return layer == 0 && isOnscreen; }

    bool operator==(const OpeningObservedWindow&) const = default;
};

enum class OpeningBaseline {
    unknown,
    noWindows,
    hasWindows,
};

struct OpeningInventoryDelta {
    // Exactly as given to observe, in the same order.
    std::vector<OpeningObservedWindow> windows;
    // The identities of `windows` that the ledger did not know before this observation.
    std::unordered_set<WindowID> notPreviouslyObserved;
    OpeningWindowPresence presence;

    bool operator==(const OpeningInventoryDelta&) const = default;
};

// A value kept in the coordinator's per-process state on the main thread. `known` only grows;
// an inventory that is missing or names a foreign or repeated window is refused whole.
class OpeningObservationLedger {
public:
    explicit OpeningObservationLedger(ProcessID process) : process_(std::move(process)) {}

    // Nothing when refused; the baseline then becomes unknown and `known` stays as it was.
    // Otherwise the baseline follows `presence` alone, whatever the list holds.
    std::optional<OpeningInventoryDelta> observe(std::optional<std::vector<OpeningObservedWindow>> windows,
                                                 OpeningWindowPresence presence);

    // Adds the identities without touching the baseline; false, and nothing changed, when refused.
    bool rememberIdentities(const std::optional<std::vector<OpeningObservedWindow>>& windows);

    void invalidateBaseline() noexcept { baseline_ = OpeningBaseline::unknown; }

    const ProcessID& process() const noexcept { return process_; }
    OpeningBaseline baseline() const noexcept { return baseline_; }
    void setBaseline(OpeningBaseline baseline) noexcept { baseline_ = baseline; }
    const std::unordered_set<WindowID>& known() const noexcept { return known_; }

private:
    // The windows' identities when every window is this process's and none repeats.
    std::optional<std::unordered_set<WindowID>>
    consistentIdentities(const std::vector<OpeningObservedWindow>& windows) const;

    ProcessID process_;
    OpeningBaseline baseline_ = OpeningBaseline::unknown;
    std::unordered_set<WindowID> known_;
};

} // namespace tidewright
