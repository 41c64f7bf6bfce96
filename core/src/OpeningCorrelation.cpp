#include "tidewright/core/OpeningCorrelation.hpp"

namespace tidewright {

namespace {

// The one visible window of the list; nothing when there are none or several.
const OpeningObservedWindow* onlyVisible(const std::vector<OpeningObservedWindow>& windows) noexcept {
    const OpeningObservedWindow* found = nullptr;
    for (const auto& window : windows) {
        if (!window.isVisible()) {
            continue;
        }
        if (found != nullptr) {
            return nullptr;
        }
        found = &window;
    }
    return found;
}

const OpeningObservedWindow* newVisibleWindow(const OpeningInventoryDelta& delta) noexcept {
    if (delta.presence != OpeningWindowPresence::one) {
        return nullptr;
    }
    const OpeningObservedWindow* window = onlyVisible(delta.windows);
    if (window == nullptr || !window->frame || !delta.notPreviouslyObserved.contains(window->id)) {
        return nullptr;
    }
    return window;
}

} // namespace

std::optional<OpeningObservedWindow> OpeningCorrelation::firstCandidate(const OpeningInventoryDelta& delta) {
    if (const auto* window = newVisibleWindow(delta)) {
        return *window;
    }
    return std::nullopt;
}

OpeningCorrelationResult OpeningCorrelation::confirm(const WindowID& id,
                                                     const std::vector<OpeningObservedWindow>& windows,
                                                     OpeningWindowPresence presence,
                                                     const DesktopFrame& eligibleMainFrame) {
    if (presence != OpeningWindowPresence::one) {
        return OpeningCorrelationResult::rejected;
    }
    const OpeningObservedWindow* window = onlyVisible(windows);
    if (window == nullptr || window->id != id || !window->frame) {
        return OpeningCorrelationResult::rejected;
    }
    return *window->frame == eligibleMainFrame ? OpeningCorrelationResult::matched
                                               : OpeningCorrelationResult::waitingForGeometry;
}

std::optional<OpeningObservedWindow>
OpeningCorrelation::uniqueCandidate(const OpeningInventoryDelta& delta,
                                    const DesktopFrame& eligibleMainFrame) {
    const auto* window = newVisibleWindow(delta);
    if (window == nullptr || *window->frame != eligibleMainFrame) {
        return std::nullopt;
    }
    return *window;
}

} // namespace tidewright
