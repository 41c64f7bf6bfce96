#pragma once
// What the kit does where Qt 6.4 lacks an API, kept in one place so that it can go when Qt has them:
// - no colour-scheme API: the kit decides the scheme itself and carries it in the palette (a kit
//   palette per scheme), so a widget's scheme is read from its palette;
// - no accent role: the tint travels as the palette's Highlight;
// - no OpenType features, so no tabular digits: equal-width digits are drawn one by one at a fixed
//   advance, the widest digit's.

#include "corbel/ui/ColorScheme.hpp"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QPointF>
#include <QStringView>

class QPainter;

namespace corbel {

// Dark when the palette's window colour is dark.
ColorScheme schemeOf(const QPalette& palette);

// The kit's palette for a scheme, built from the colour table, with `tint` as its Highlight.
QPalette kitPalette(ColorScheme scheme, bool increasedContrast, const QColor& tint);

// The tint a kit palette carries.
QColor tintOf(const QPalette& palette);

// The advance every digit takes in equal-width text: the font's widest digit.
qreal equalDigitAdvance(const QFont& font);
// The width of `text` drawn with equal-width digits; other characters keep their own advances.
qreal equalWidthTextWidth(const QFont& font, QStringView text);
// Draws `text` in the painter's font from `baselineOrigin`, each digit centred in the fixed advance.
void drawEqualWidthText(QPainter& painter, QPointF baselineOrigin, QStringView text);

} // namespace corbel
