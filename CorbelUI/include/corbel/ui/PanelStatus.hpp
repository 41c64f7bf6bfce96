#pragma once
// What the tray panel's status dot shows, each state with its colour per scheme.

#include "corbel/ui/ColorScheme.hpp"

#include <QColor>

#include <array>

namespace corbel {

enum class PanelStatus {
    working,
    off,
    attention,
    recording,
};

inline constexpr std::array<PanelStatus, 4> allPanelStatuses{
    PanelStatus::working,
    PanelStatus::off,
    PanelStatus::attention,
    PanelStatus::recording,
};

// working is the privacy green, attention the warning colour, off the support colour, recording
// the system red; all opaque.
QColor panelStatusColor(PanelStatus status, ColorScheme scheme, bool increasedContrast = false);

} // namespace corbel
