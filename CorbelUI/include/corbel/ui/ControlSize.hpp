#pragma once
// The control sizes the kit's buttons, switches and menu buttons come in, and the measures each
// size decides. Decided once here and pinned by the controls' golden images.

#include "corbel/ui/CorbelFont.hpp"

#include <QSize>
#include <QSizePolicy>
#include <QtGlobal>

namespace corbel {

enum class ControlSize {
    small,
    regular,
    large,
    extraLarge,
};

struct ControlMetrics {
    int height;            // a bordered or glass button's height
    int horizontalPadding; // between a button's edge and its label
    qreal cornerRadius;    // a bordered button's corners
    CorbelFont role;       // a button's label unless the caller names a role
    QSize switchTrack;     // a switch's track; extra large draws as large
};

const ControlMetrics& controlMetrics(ControlSize size) noexcept;

// The policy of a button that may be squeezed: never wider than it asks, as narrow as its widest
// word, and the height of its label's lines at the width it gets. A fixed policy would cap it at
// the one line it asks for and cut the rest off.
QSizePolicy wrappingControlPolicy();

} // namespace corbel
