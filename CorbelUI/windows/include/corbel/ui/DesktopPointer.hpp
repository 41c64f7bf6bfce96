#pragma once
// Where the mouse is, and where the desktop's origin sits among Qt's global coordinates, so that
// screens read in desktop coordinates and Qt's window positions meet in one convention.

#include <QPoint>
#include <QPointF>

#include <memory>

namespace corbel {

class DesktopPointer {
public:
    virtual ~DesktopPointer() = default;

    // REQUIRES: the main thread. The mouse location in desktop coordinates.
    virtual QPointF location() const = 0;
    // REQUIRES: the main thread. The Qt global position of the desktop origin (the primary screen's
    // top-left corner); desktop = global - origin.
    virtual QPoint desktopOrigin() const = 0;
};

// Qt's cursor and primary screen. REQUIRES a QGuiApplication.
std::shared_ptr<DesktopPointer> makeQtDesktopPointer();

} // namespace corbel
