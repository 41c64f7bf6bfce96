#pragma once
// Renders a widget into an image without showing it: the golden-image tests and snapshot mode use
// the same pixels. Main thread only.

#include <QImage>
#include <QSize>

class QWidget;

namespace corbel {

// Lays the widget out at `size` (device-independent pixels) without pumping events and renders it
// with its children into an image of `size` × `devicePixelRatio` pixels on a transparent ground.
QImage renderWidget(QWidget& widget, QSize size, qreal devicePixelRatio = 2);

// The same render clipped to a rectangle with rounded corners, as a window with that corner radius
// shows it: outside the corners is transparent, the corner edges antialiased.
QImage renderRoundedWidget(QWidget& widget, QSize size, qreal cornerRadius, qreal devicePixelRatio = 2);

} // namespace corbel
