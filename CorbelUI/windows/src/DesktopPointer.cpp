#include "corbel/ui/DesktopPointer.hpp"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace corbel {

namespace {

class QtDesktopPointer final : public DesktopPointer {
public:
    QPointF location() const override { return QPointF(QCursor::pos() - desktopOrigin()); }

    QPoint desktopOrigin() const override {
        // The screens stand-in measures from the primary monitor's corner, as Qt's primary screen is.
        const QScreen* primary = QGuiApplication::primaryScreen();
        return primary != nullptr ? primary->geometry().topLeft() : QPoint();
    }
};

} // namespace

std::shared_ptr<DesktopPointer> makeQtDesktopPointer() {
    return std::make_shared<QtDesktopPointer>();
}

} // namespace corbel
