#pragma once
// The six fixed hot keys. Case i performs window action i; the raw texts are stored and compared,
// so neither the order nor the texts may change.

#include "tidewright/core/WindowAction.hpp"

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

namespace tidewright {

enum class FixedShortcut {
    left,
    right,
    up,
    d,
    down,
    c,
};

inline constexpr std::array<FixedShortcut, 6> allFixedShortcuts{
    FixedShortcut::left, FixedShortcut::right, FixedShortcut::up,
    FixedShortcut::d,    FixedShortcut::down,  FixedShortcut::c,
};

constexpr std::string_view rawValue(FixedShortcut shortcut) noexcept {
    constexpr std::array<std::string_view, 6> texts{"left", "right", "up", "d", "down", "c"};
    return texts[static_cast<std::size_t>(shortcut)];
}

// Exact and case-sensitive: "Left", "l" and "" give nothing.
constexpr std::optional<FixedShortcut> fixedShortcutFromRawValue(std::string_view text) noexcept {
    for (FixedShortcut shortcut : allFixedShortcuts) {
        if (rawValue(shortcut) == text) {
            return shortcut;
        }
    }
    return std::nullopt;
}

// The window action at the same position.
constexpr WindowAction action(FixedShortcut shortcut) noexcept {
    return allWindowActions[static_cast<std::size_t>(shortcut)];
}

} // namespace tidewright

template <>
struct std::hash<tidewright::FixedShortcut> {
    std::size_t operator()(tidewright::FixedShortcut shortcut) const noexcept {
        return std::hash<std::string_view>{}(tidewright::rawValue(shortcut));
    }
};
