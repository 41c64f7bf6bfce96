#pragma once
// Brings a widget's nested layouts up to date at once. Qt tells each layer of layouts about a change
// one event-loop turn at a time, so a height asked for right after a view changed its children would
// come from a layer that has not heard of it yet.

class QWidget;

namespace corbel {

// Activates every pending layout under `root`, and root's own, from the inside out. Main thread only.
void settleLayouts(QWidget& root);

} // namespace corbel
