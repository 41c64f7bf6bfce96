#include "tidewright/windowcontrol/WindowOperationPermit.hpp"

#include "tidewright/windowcontrol/WindowOperationFailure.hpp"

namespace tidewright {

void WindowOperationPermit::check(ContinuousInstant deadline, ContinuousInstant now) const {
    if (!isActive()) {
        throw WindowOperationFailure::invalidated();
    }
    if (!(now < deadline)) {
        throw WindowOperationFailure::deadlineExceeded();
    }
}

} // namespace tidewright
