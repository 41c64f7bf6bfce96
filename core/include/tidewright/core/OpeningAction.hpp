#pragma once
// The action of an opening rule. Stored as its raw text, so the texts must never change.

#include <array>
#include <optional>
#include <string_view>

#include <nlohmann/json.hpp>

#include "tidewright/core/WindowAction.hpp"

namespace tidewright {

enum class OpeningAction {
    maximize,
    center,
};

inline constexpr std::array<OpeningAction, 2> allOpeningActions{OpeningAction::maximize,
                                                                OpeningAction::center};

constexpr std::string_view rawValue(OpeningAction action) noexcept {
    return action == OpeningAction::maximize ? "maximize" : "center";
}

// Exact and case-sensitive: "Center" and "" give nothing.
constexpr std::optional<OpeningAction> openingActionFromRawValue(std::string_view text) noexcept {
    if (text == "maximize") {
        return OpeningAction::maximize;
    }
    if (text == "center") {
        return OpeningAction::center;
    }
    return std::nullopt;
}

constexpr WindowAction windowAction(OpeningAction action) noexcept {
    return action == OpeningAction::maximize ? WindowAction::maximize : WindowAction::center;
}

// Codes as one JSON string; decoding throws DecodingError (typeMismatch for a non-string,
// dataCorrupted for any other text).
void to_json(nlohmann::json& j, OpeningAction action);
void from_json(const nlohmann::json& j, OpeningAction& action);

} // namespace tidewright

template <>
struct std::hash<tidewright::OpeningAction> {
    std::size_t operator()(tidewright::OpeningAction action) const noexcept {
        return std::hash<std::string_view>{}(tidewright::rawValue(action));
    }
};
