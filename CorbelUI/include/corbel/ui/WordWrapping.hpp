#pragma once
// The kit's one rule for words wider than their line: text breaks between words only. A word that
// would not fit its line makes the whole text shrink just enough that it does, down to a floor;
// a word still too wide at the floor is elided on its own line rather than split.

#include "corbel/ui/CorbelFont.hpp"

#include <QFont>
#include <QString>
#include <QTextOption>

namespace corbel {

// The floor, as a share of a text role's size at the standard text size: smaller than this, text
// stops being comfortable to read at any text size.
inline constexpr double wordFitMinimumScale = 0.75;

// The smallest pixel size a text of `role` shrinks to so that its words fit.
int wordFitFloor(CorbelFont role);

// The wrap option of every kit text that wraps: lines break at word boundaries and never inside a
// word (a line holding a word wider than itself overflows, and the caller elides it).
QTextOption wordWrapOption();

// The width of the widest run of `text` that may not be broken (what lies between two places where
// a line may end: spaces, after a hyphen, around a dash).
qreal widestWordWidth(const QString& text, const QFont& font);

// `font` itself when every word of `text` fits in `width`; else the same font at the largest smaller
// pixel size at which they all fit, but never below `minimumPixelSize`.
QFont fontFittingWords(const QString& text, const QFont& font, qreal width, int minimumPixelSize);

} // namespace corbel
