#include "corbel/ui/AppIcon.hpp"

#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/Symbols.hpp"

#include <QGuiApplication>
#include <QIcon>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace corbel {

AppIcon::AppIcon(Props props, QWidget* parent) : KitView(std::move(props), parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize AppIcon::sizeHint() const {
    const int side = static_cast<int>(std::ceil(std::max<qreal>(props().size, 0)));
    return {side, side};
}

void AppIcon::paintEvent(QPaintEvent*) {
    const qreal side = std::max<qreal>(props().size, 0);
    if (side <= 0) {
        return;
    }
    const QRectF square((width() - side) / 2, (height() - side) / 2, side, side);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QIcon icon = QGuiApplication::windowIcon();
    if (!icon.isNull()) {
        // The largest image the icon has, stretched to the square.
        const QList<QSize> sizes = icon.availableSizes();
        QSize largest = sizes.isEmpty() ? QSize(512, 512) : sizes.front();
        for (const QSize& size : sizes) {
            if (size.width() * size.height() > largest.width() * largest.height()) {
                largest = size;
            }
        }
        const QPixmap pixmap = icon.pixmap(largest);
        painter.drawPixmap(square, pixmap, QRectF(pixmap.rect()));
        return;
    }
    // No icon was given to the application: a tile in the tint, so the layout keeps its mark.
    const qreal radius = side * 0.225;
    QPainterPath tile;
    tile.addRoundedRect(square, radius, radius);
    painter.fillPath(tile, tintOf(palette()));
    const qreal em = side * 0.6;
    drawSymbol(painter, QRectF(square.center() - QPointF(em / 2, em / 2), QSizeF(em, em)),
               u"rectangle.split.2x1.fill", Qt::white);
}

} // namespace corbel
