#pragma once
// Which text-size factors count as the accessibility text sizes. Rows that put a control beside its
// labels stack them instead at these sizes, since the labels would leave the control no room.

namespace corbel {

// The smallest accessibility size: body text at 28 pixels where the standard size draws it at 17.
// Every larger standard size (up to 23 pixels) stays below it.
inline constexpr double accessibilityTextSizeFactor = 28.0 / 17.0;

// The largest accessibility size: body text at 53 pixels.
inline constexpr double largestTextSizeFactor = 53.0 / 17.0;

constexpr bool isAccessibilityTextSize(double textSizeFactor) noexcept {
    return textSizeFactor >= accessibilityTextSizeFactor;
}

} // namespace corbel
