#include "tidewright/core/FocusPolicy.hpp"

namespace tidewright {

FocusDecision FocusPolicy::receive(const FocusEvent& event) {
    // A process of another incarnation is another process: identities compare every field.
    const bool isObserved = observedFocus_ == event.process;
    if (event.kind == FocusEvent::Case::activated) {
        if (isObserved) {
            return FocusDecision::unchanged;
        }
        observedFocus_ = event.process;
        return FocusDecision::invalidate;
    }
    if (!isObserved) {
        return FocusDecision::unchanged;
    }
    observedFocus_.reset();
    return FocusDecision::invalidate;
}

} // namespace tidewright
