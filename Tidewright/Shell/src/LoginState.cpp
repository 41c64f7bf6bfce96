#include "tidewright/shell/LoginState.hpp"

namespace tidewright {

LoginState loginStateFromStatus(int status) noexcept {
    switch (status) {
    case 0:
        return LoginState::disabled;
    case 1:
        return LoginState::enabled;
    case 2:
        return LoginState::approvalRequired;
    default:
        // Not found, any value the platform may add later, and a value below zero.
        return LoginState::unavailable;
    }
}

} // namespace tidewright
