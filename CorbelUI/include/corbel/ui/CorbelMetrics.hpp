#pragma once
// The kit's named layout constants in device-independent pixels.

#include <QtGlobal>

namespace corbel {

struct CorbelMetrics {
    CorbelMetrics() = delete;

    // spacing steps
    static constexpr qreal tight = 4;
    static constexpr qreal row = 8;
    static constexpr qreal group = 12;
    static constexpr qreal spacing = 16;
    static constexpr qreal section = 24;

    static constexpr qreal panelWidth = 368; // fixed width of the tray panel
    static constexpr qreal panelPadding = 16;
    static constexpr qreal panelViewportMargin = 32;
    static constexpr qreal panelRow = 32;
    static constexpr qreal panelActionRow = 36; // minimum height of a panel action row
    static constexpr qreal pointerTarget = 28;
    static constexpr qreal panelFooterButton = 32;
    static constexpr qreal shortcutStateSymbol = 12;
    static constexpr qreal panelTile = 56; // the readout family below: no view uses them yet
    static constexpr qreal cardRadius = 16;
    static constexpr qreal cardPadding = 12;
    static constexpr qreal readoutHeight = 112;
    static constexpr qreal readoutPadding = 12;
    static constexpr qreal readoutRadius = 16;
    static constexpr qreal readoutFlapHeight = 40;
    static constexpr qreal readoutFlapPadding = 8;
    static constexpr qreal readoutFlapRadius = 4;
    static constexpr qreal readoutFlapGap = 4;
    static constexpr qreal readoutColonWidth = 12;
    static constexpr qreal symbolColumn = 20; // width of a row's leading symbol
    static constexpr qreal welcomeStepsWidth = 560;
    static constexpr qreal welcomeBadge = 24;
    static constexpr qreal welcomeWidth = 480;
    static constexpr qreal welcomePadding = 24;
    static constexpr qreal welcomeIcon = 88;
    static constexpr qreal panelIcon = 40;
    static constexpr qreal statusDot = 8;
    static constexpr qreal keyCap = 20; // minimum side of a key cap
    static constexpr qreal noticeRadius = 12;
    static constexpr qreal titlebar = 16;
    static constexpr qreal windowControlsBand = 28;
    static constexpr qreal preferencesMargin = 32;
    static constexpr qreal preferencesColumn = 496;
    static constexpr qreal preferencesWidth = 560; // with one pane
    static constexpr qreal preferencesSidebar = 176;
    static constexpr qreal preferencesPanesWidth = 768; // with a pane list
    static constexpr qreal preferencesGroupGap = 32;
    static constexpr qreal preferencesRow = 44; // minimum height of a preferences row
    static constexpr qreal preferencesValueRow = 32;
    static constexpr qreal preferencesNavRow = 40;
    static constexpr qreal preferencesControlHeight = 28;
};

} // namespace corbel
