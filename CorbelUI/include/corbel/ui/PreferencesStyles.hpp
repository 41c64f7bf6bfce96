#pragma once
// The looks the kit gives controls on a preferences screen, so that views name a style and never
// set sizes, fonts or rings themselves. Each returns the control it styled. Main thread only.

#include "corbel/ui/BrandFocus.hpp"

class QWidget;

namespace corbel {

class KitButton;
class KitMenuButton;

// A ring around `control` drawn only while it has keyboard focus and its window's keyboard has
// been used. A control without a parent yet gets its ring when it is placed.
QWidget& preferencesFocusRing(QWidget& control, RingShape shape);

// Bordered, large, in the support role, the primary colour for its label, a capsule ring, and the
// height of its wrapped label where it gets less than its width.
KitButton& preferencesButtonStyle(KitButton& button);

// The same look for a menu button, at its ideal width.
KitMenuButton& preferencesMenuStyle(KitMenuButton& menu);

} // namespace corbel
