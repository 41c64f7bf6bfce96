#pragma once
// The six window actions. Their order is the order of the hot keys that perform them.

#include <array>
#include <cstddef>

namespace tidewright {

enum class WindowAction {
    leftHalf,
    rightHalf,
    maximize,
    nearlyMaximize,
    maximumHeight,
    center,
};

inline constexpr std::array<WindowAction, 6> allWindowActions{
    WindowAction::leftHalf,       WindowAction::rightHalf,     WindowAction::maximize,
    WindowAction::nearlyMaximize, WindowAction::maximumHeight, WindowAction::center,
};

} // namespace tidewright
