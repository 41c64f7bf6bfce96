#pragma once
// The kit's text-field styles and the colour of a destructive action's label. A styled field sits
// in a 28-high capsule of the emphasis fill with 12 on each side of the text; a click anywhere in
// the capsule puts the caret in the field unless it is disabled, and the focus ring shows only once
// the keyboard has been used in the window. Main thread only.

#include "corbel/ui/ColorScheme.hpp"

#include <QColor>

class QLineEdit;
class QWidget;

namespace corbel {

// Wraps `field` in the capsule, in the body text role, and answers the capsule, which owns the
// field; place the capsule where the field would go. REQUIRES: field is set and has no parent yet
// or is about to be re-parented by the caller's layout.
QWidget* preferencesFieldStyle(QLineEdit* field);
// The same at the panel's smaller text size.
QWidget* panelFieldStyle(QLineEdit* field);

// Colours the text of `label` (its window, button and text roles) dark red in the light scheme and
// light salmon in the dark one, following later scheme changes. For kit views that take their text
// colour from the palette (no colour of their own in their props).
void preferencesDestructiveLabel(QWidget& label);
QColor destructiveLabelColor(ColorScheme scheme);

} // namespace corbel
