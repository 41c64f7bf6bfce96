#pragma once
// Whether the application opens at login, as the login item's status says.

namespace tidewright {

enum class LoginState {
    disabled,
    enabled,
    approvalRequired,
    unavailable,
};

// 0 (not registered), 1 (enabled), 2 (requires approval); any other value, negative ones too, is
// unavailable.
LoginState loginStateFromStatus(int status) noexcept;

} // namespace tidewright
