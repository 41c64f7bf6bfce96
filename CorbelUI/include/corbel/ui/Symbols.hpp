#pragma once
// The kit's symbols: one table from each symbol name the views use to an outline on a 1-em grid
// (x and y from 0 to 1, y down), drawn at the size of the text beside it. Strokes are as thick as
// the weight asks; the marks inside ("!", "?", "i", digits) are glyphs of the kit's font. The tray
// icon is drawn from the same table.

#include <QColor>
#include <QPainterPath>
#include <QRectF>
#include <QStringView>

#include <span>
#include <string_view>

class QFont;
class QPainter;

namespace corbel {

enum class SymbolWeight {
    regular,
    semibold,
    bold,
};

// The weight that matches a font's.
SymbolWeight symbolWeight(const QFont& font);

// The fixed names of the table. "<n>.circle", the number n in a circle, is made on demand.
std::span<const std::string_view> symbolNames();

// Whether the name draws something: a fixed name, or "<n>.circle" for a number n of 0 or more.
bool hasSymbol(QStringView name);

// The outline to fill. Empty for a name without a symbol; an unknown name is logged once.
// REQUIRES a QGuiApplication (the marks are glyphs); main thread.
QPainterPath symbolPath(QStringView name, SymbolWeight weight = SymbolWeight::regular);

// Fills the symbol scaled into `em`, a square (a wider or taller box centres it).
void drawSymbol(QPainter& painter, const QRectF& em, QStringView name, const QColor& color,
                SymbolWeight weight = SymbolWeight::regular);

} // namespace corbel
